#pragma once
// How the automation service appears on the D-Bus session bus: the bus name
// and object path made from a service name, the one interface, the clipboard
// format it carries, the error names, and the bounds on what one client may
// ask for. Shared by the server and its clients. docs/automation.md is the
// page that tells the same to other programs.

#include <QString>
#include <cstddef>

namespace dde {
// The only format items are offered in: text.
constexpr unsigned CF_TEXT = 1;

constexpr const char* kInterface = "org.orvantis.Dde";
// "org.orvantis.<service>" and "/org/orvantis/<service>".
inline QString BusName(const QString& service) { return QStringLiteral("org.orvantis.") + service; }
inline QString ObjectPath(const QString& service) { return QStringLiteral("/org/orvantis/") + service; }

// The transaction was understood and refused (an execute the topic did not
// recognise, every poke).
constexpr const char* kErrorNotProcessed = "org.orvantis.Dde.Error.NotProcessed";
constexpr const char* kErrorUnknownTopic = "org.orvantis.Dde.Error.UnknownTopic";
constexpr const char* kErrorUnknownItem = "org.orvantis.Dde.Error.UnknownItem";
constexpr const char* kErrorFormat = "org.orvantis.Dde.Error.FormatNotSupported";
constexpr const char* kErrorLimits = "org.orvantis.Dde.Error.LimitsExceeded";

// Bounds, so that no client can make the player hold more than a little.
// Clients with advise loops at once; one more is refused.
constexpr std::size_t kMaxAdviseClients = 256;
// Advise loops one client may hold (each item of each topic at most once).
constexpr std::size_t kMaxLoopsPerClient = 256;
// Bytes of one execute command; a longer one is refused unread.
constexpr std::size_t kMaxCommandBytes = 64 * 1024;
}  // namespace dde
