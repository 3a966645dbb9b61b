#pragma once
// How the player appears to desktop media controls on the session bus: the
// names, the fixed values of its root interface, and the errors its methods
// answer with. docs/automation.md tells the same to other programs.

#include <QString>
#include <QStringList>

namespace mpris {
inline const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.brelune3");
inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
inline const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

inline const QString kIdentity = QStringLiteral("Brelune3");
// The installed .desktop file's name without ".desktop"; the icon has it too.
inline const QString kDesktopEntry = QStringLiteral("org.orvantis.Brelune3");
inline const QStringList kUriSchemes{QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")};
inline const QStringList kMimeTypes{QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-mpegurl"),
                                    QStringLiteral("audio/mpegurl")};

// Track ids are the playlist position under this path ("/org/orvantis/Brelune3/Track/3").
inline const QString kTrackIdPrefix = QStringLiteral("/org/orvantis/Brelune3/Track/");

// The longest location OpenUri takes, as for an automation command.
constexpr int kMaxUriBytes = 64 * 1024;

// The bus's own error names, which every client library knows.
inline const QString kErrorInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
inline const QString kErrorNotSupported = QStringLiteral("org.freedesktop.DBus.Error.NotSupported");
inline const QString kErrorFileNotFound = QStringLiteral("org.freedesktop.DBus.Error.FileNotFound");
inline const QString kErrorAccessDenied = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
inline const QString kErrorLimitsExceeded = QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded");
inline const QString kErrorFailed = QStringLiteral("org.freedesktop.DBus.Error.Failed");
}  // namespace mpris
