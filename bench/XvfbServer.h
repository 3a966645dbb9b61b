#pragma once
// A virtual X server of the bench's own, so that the player draws through a
// real X connection, as on a desktop, and the bench can watch and time the
// server: Xvfb on the first free display, no TCP, no access control, and a
// black root window rather than the default two-colour weave, so that a
// window nothing has painted yet reads as one colour. Needs the xvfb package.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts the server and waits until it accepts connections; false with
    // the reason on standard error when it could not.
    bool Start() {
        int ready[2];
        if (pipe(ready) != 0) return false;
        pid = fork();
        if (pid < 0) return false;
        if (pid == 0) {
            // The server writes its display number to this descriptor once it listens.
            dup2(ready[1], 3);
            if (ready[1] != 3) close(ready[1]);
            close(ready[0]);
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-ac", "-br", "-screen", "0", "1024x768x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        std::string number;
        pollfd wait{ready[0], POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, 10000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
        close(ready[0]);
        if (number.empty()) {
            std::fprintf(stderr, "Xvfb did not start (needs the xvfb package)\n");
            Stop();
            return false;
        }
        display = ":" + number;
        return true;
    }

    void Stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

    // ":N", empty before Start.
    const std::string& Display() const { return display; }
    pid_t Pid() const { return pid; }

private:
    pid_t pid = -1;
    std::string display;
};
}  // namespace bench
