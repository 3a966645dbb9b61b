#include "mpris/MprisPlayerAdaptor.h"

#include "mpris/MprisService.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* host, MprisService& service)
    : QDBusAbstractAdaptor(host), service(service) {}

QString MprisPlayerAdaptor::PlaybackStatus() const { return service.Current().status; }
QVariantMap MprisPlayerAdaptor::Metadata() const { return TrackMetadata(service.Current().track); }
qlonglong MprisPlayerAdaptor::Position() const { return service.Position(); }
bool MprisPlayerAdaptor::CanGoNext() const { return service.Current().canGoNext; }
bool MprisPlayerAdaptor::CanGoPrevious() const { return service.Current().canGoPrevious; }
bool MprisPlayerAdaptor::CanPlay() const { return service.Current().canPlay; }
bool MprisPlayerAdaptor::CanPause() const { return service.Current().canPause; }

void MprisPlayerAdaptor::Play() { service.Transport(MprisService::Command::Play); }
void MprisPlayerAdaptor::Pause() { service.Transport(MprisService::Command::Pause); }
void MprisPlayerAdaptor::PlayPause() { service.Transport(MprisService::Command::PlayPause); }
void MprisPlayerAdaptor::Stop() { service.Transport(MprisService::Command::Stop); }
void MprisPlayerAdaptor::Next() { service.Transport(MprisService::Command::Next); }
void MprisPlayerAdaptor::Previous() { service.Transport(MprisService::Command::Previous); }

void MprisPlayerAdaptor::Seek(qlonglong) {}
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath&, qlonglong) {}

void MprisPlayerAdaptor::OpenUri(const QString& uri, const QDBusMessage& message) { service.OpenUri(uri, message); }
