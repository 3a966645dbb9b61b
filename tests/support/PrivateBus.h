#pragma once
// A session bus of the test's own: a dbus-daemon started on a socket in the
// test's temporary folder, made the process's session bus (and that of every
// program the test starts) through DBUS_SESSION_BUS_ADDRESS. Start it before
// anything touches the session bus. Programs named by service files in
// `serviceDir` are started by the bus on demand, with its environment.

#include <string>

namespace testbus {
// Starts the bus; false (with the reason on stderr) when it could not.
bool Start(const std::string& serviceDir = {});
// Stops the bus started by Start.
void Stop();
// The bus's address, empty before Start.
const std::string& Address();
}  // namespace testbus
