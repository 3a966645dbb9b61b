#pragma once
// The root interface of the media controls (org.mpris.MediaPlayer2): what
// the player is called, raising its window and quitting it.

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QStringList>

#include "mpris/MprisNames.h"

class MprisService;

class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    MprisRootAdaptor(QObject* host, MprisService& service);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return mpris::kIdentity; }
    QString DesktopEntry() const { return mpris::kDesktopEntry; }
    QStringList SupportedUriSchemes() const { return mpris::kUriSchemes; }
    QStringList SupportedMimeTypes() const { return mpris::kMimeTypes; }

public Q_SLOTS:
    void Raise();
    void Quit(const QDBusMessage& message);

private:
    MprisService& service;
};
