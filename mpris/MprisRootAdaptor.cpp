#include "mpris/MprisRootAdaptor.h"

#include "mpris/MprisService.h"

MprisRootAdaptor::MprisRootAdaptor(QObject* host, MprisService& service)
    : QDBusAbstractAdaptor(host), service(service) {}

void MprisRootAdaptor::Raise() { service.Raise(); }

void MprisRootAdaptor::Quit(const QDBusMessage& message) { service.Quit(message); }
