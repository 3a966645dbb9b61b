#pragma once
// Ports on 127.0.0.1 for the servers the tests start.

namespace testsupport {

// A port nothing listens on right now. Another process may still take it
// before the caller binds it, so a server that fails to bind should retry.
int FreePort();

// Whether something accepts connections on the port of 127.0.0.1.
bool Accepts(int port);

}  // namespace testsupport
