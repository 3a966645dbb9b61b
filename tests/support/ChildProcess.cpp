#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace testsupport {

namespace {

// Only async-signal-safe calls between fork and exec: the test process has
// other threads, whose locks the child would inherit held.
[[noreturn]] void ExecChild(char* const* argv, int output, std::optional<RunAs> user, pid_t parent, int report)
{
    if (user && (setgroups(0, nullptr) != 0 || setgid(user->gid) != 0 || setuid(user->uid) != 0)) {
        int e = errno;
        (void)!write(report, &e, sizeof e);
        _exit(126);
    }
    // After the change of user, which would clear it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(1);
    }
    int input = open("/dev/null", O_RDONLY);
    dup2(input, 0);
    dup2(output, 1);
    dup2(output, 2);
    execvp(argv[0], argv);
    int e = errno;
    (void)!write(report, &e, sizeof e);
    _exit(127);
}

}  // namespace

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& outputPath,
                         std::optional<RunAs> user, std::string* error)
{
    Kill();
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output < 0) {
        *error = "Cannot write " + outputPath + ": " + std::strerror(errno);
        return false;
    }
    // Closed by a successful exec; otherwise the child writes its errno.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        close(output);
        return false;
    }
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        ExecChild(args.data(), output, user, parent, report[1]);
    }
    close(output);
    close(report[1]);
    if (pid < 0) {
        *error = std::string("fork: ") + std::strerror(errno);
        close(report[0]);
        return false;
    }
    int childErrno = 0;
    ssize_t n;
    do {
        n = read(report[0], &childErrno, sizeof childErrno);
    } while (n < 0 && errno == EINTR);
    close(report[0]);
    if (n > 0) {
        waitpid(pid, nullptr, 0);
        *error = "Cannot run " + argv[0] + ": " + std::strerror(childErrno) + " (tools/setup-deps.sh installs it)";
        return false;
    }
    pid_ = pid;
    return true;
}

bool ChildProcess::Running()
{
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == 0) {
        return true;
    }
    exitStatus_ = status;
    pid_ = -1;
    return false;
}

void ChildProcess::Kill()
{
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &exitStatus_, 0);
    pid_ = -1;
}

bool ChildProcess::Run(const std::vector<std::string>& argv, const std::string& outputPath, std::string* error,
                       std::chrono::seconds limit)
{
    ChildProcess child;
    if (!child.Start(argv, outputPath, std::nullopt, error)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (child.Running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            child.Kill();
            *error = argv[0] + " did not finish within " + std::to_string(limit.count()) + " s";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!WIFEXITED(child.exitStatus_) || WEXITSTATUS(child.exitStatus_) != 0) {
        *error = argv[0] + " failed; its output is in " + outputPath;
        return false;
    }
    return true;
}

}  // namespace testsupport
