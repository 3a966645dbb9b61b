#pragma once
// A program a test runs beside itself: a server, or a tool run to its end.
// Its standard output and error go to a file. The child is sent SIGKILL when
// the thread that started it ends, so a test that crashes or is killed
// leaves no server behind; Kill and the destructor end it and reap it.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// The user a child changes to before it starts, for a server that refuses
// to run as root.
struct RunAs {
    uid_t uid;
    gid_t gid;
};

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0], looked up in PATH, with its output appended to
    // outputPath. False, with the reason, when it cannot be started.
    bool Start(const std::vector<std::string>& argv, const std::string& outputPath, std::optional<RunAs> user,
               std::string* error);
    // Whether it is still running; reaps it once it has ended.
    bool Running();
    // SIGKILL, then waits until it has gone. Nothing when it is not running.
    void Kill();

    // Runs a tool to its end: true when it exits with 0 within the limit.
    static bool Run(const std::vector<std::string>& argv, const std::string& outputPath, std::string* error,
                    std::chrono::seconds limit = std::chrono::seconds(30));

private:
    pid_t pid_ = -1;
    int exitStatus_ = 0;
};

}  // namespace testsupport
