#pragma once
// What OpenUri takes: a file:// location of an existing readable file, or an
// http:// or https:// location (whether a server answers shows when the
// player connects, as for Play Location). Anything else is refused with a
// D-Bus error name and a text that says why.

#include <QString>
#include <optional>

struct UriRefusal {
    QString errorName;
    QString message;
};

// Nothing when the player may try to play the location.
std::optional<UriRefusal> RefuseUnplayableUri(const QString& uri);
