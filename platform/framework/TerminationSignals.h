#pragma once
// Turns the signals that ask a desktop program to end (SIGTERM at logout,
// SIGINT from a terminal, SIGHUP when its terminal goes) into a call on the
// user-interface thread, so the program can close its window the ordinary
// way and keep its settings. A second signal ends the process at once, as if
// no handler were installed, so a program stuck in its close can still be
// stopped.

#include <functional>

// Installs the handlers; `onSignal` runs from the Qt event loop. Call once,
// on the user-interface thread, after the QApplication exists. False when
// the handlers cannot be installed (the signals then keep their defaults).
bool HandleTerminationSignals(std::function<void()> onSignal);
