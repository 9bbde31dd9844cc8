#pragma once

// Work done in a child process: for what would change the test process for good
// (another user, a signal's default action, a measured peak of memory) and for writers
// racing each other. Standard C++ and POSIX only.

#include <exception>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace rig::test {

// How a child ended: its exit status, or the signal that ended it.
struct ChildEnd {
    int exitStatus = -1;  // -1 when it did not exit
    int signal = 0;       // 0 when no signal ended it
    [[nodiscard]] bool succeeded() const { return exitStatus == 0; }
};

// Starts `body` in a child process, which exits with what it returns (1 when it throws)
// and never returns into the test.
inline pid_t startChild(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int status = 1;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    return child;
}

inline ChildEnd waitForChild(pid_t child)
{
    int status = 0;
    ChildEnd end;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return end;
    if (WIFEXITED(status))
        end.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    return end;
}

inline ChildEnd runInChild(const std::function<int()>& body) { return waitForChild(startChild(body)); }

}  // namespace rig::test
