#pragma once
// The second start's side of single instance.

#include <string>

class InstanceListener;

// Asks the running instance of the window class to show its window normally
// and raise it, and hands it the command line when that is not empty (as the
// text plus its terminating zero; see InstanceProtocol.h). Blocks until the
// instance has handled it, or up to 10 s when it is busy (say, in a message
// box); the instance then handles it later. Returns false when no instance
// answers the socket or when the instance went away before handling it. A
// command line longer than the protocol allows only activates.
// Needs a QCoreApplication; call on the thread that owns it.
bool HandOverToRunningInstance(const std::string& windowClass, const std::string& commandLine);

enum class StartRole {
    Player,      // the listener listens: go on and start the player
    HandedOver,  // a running instance took over: end with status 0
    Unanswered,  // another live process holds the lock but never answered within 3 s
    Alone,       // single instance cannot work here (no private folder, socket): start anyway
};

// The start-up decision. Becomes the one instance when no other lives, else
// hands over; when two start at once, one wins the lock and the other waits
// briefly for it to listen and hands over to it.
StartRole ClaimSingleInstance(InstanceListener& listener, const std::string& windowClass,
                              const std::string& commandLine);
