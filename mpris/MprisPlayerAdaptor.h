#pragma once
// The player interface of the media controls
// (org.mpris.MediaPlayer2.Player): state, metadata and capabilities read
// from the player, and the transport methods, each carried out by the
// service as the player's buttons do it. Seeking is not offered (CanSeek is
// false, and Seek and SetPosition do nothing); rate and volume are fixed
// at 1.0.

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

class MprisService;

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double Rate READ Fixed)
    Q_PROPERTY(double MinimumRate READ Fixed)
    Q_PROPERTY(double MaximumRate READ Fixed)
    Q_PROPERTY(double Volume READ Fixed)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    MprisPlayerAdaptor(QObject* host, MprisService& service);

    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    qlonglong Position() const;
    double Fixed() const { return 1.0; }
    bool CanGoNext() const;
    bool CanGoPrevious() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool CanSeek() const { return false; }
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    void OpenUri(const QString& uri, const QDBusMessage& message);

Q_SIGNALS:
    // Part of the interface; never sent, since the player does not seek.
    void Seeked(qlonglong position);

private:
    MprisService& service;
};
