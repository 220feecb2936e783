#include "service/runtime/ShellSpawn.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <utils/UniqueFd.h>

extern char** environ;

namespace ornak {
namespace xel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kKillGrace{2};
// How often a group is looked at where the kernel cannot tell the end of a
// process through a descriptor.
constexpr std::chrono::milliseconds kPollInterval{50};

// The shell as system() starts it, leading a new process group.
pid_t spawnShell(const char* line) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    char shell[] = "sh";
    char option[] = "-c";
    char* argv[] = {shell, option, const_cast<char*>(line), nullptr};
    pid_t pid = -1;
    int error = posix_spawn(&pid, "/bin/sh", nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? pid : -1;
}

// Reaps pid when it has ended; true then, with its wait status.
bool reaped(pid_t pid, int* status) {
    pid_t done;
    while ((done = waitpid(pid, status, WNOHANG)) < 0 && errno == EINTR) {
    }
    return done == pid;
}

// Waits until pid has ended or deadline passes, and reaps it; true when it
// ended. A process descriptor wakes the wait at once; without one (older
// kernels) the process is looked at every kPollInterval.
bool waitUntil(pid_t pid, Clock::time_point deadline, int* status) {
#ifdef SYS_pidfd_open
    android::UniqueFd process(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
#else
    android::UniqueFd process;
#endif
    while (!reaped(pid, status)) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        if (!process.ok()) {
            std::this_thread::sleep_for(std::min<Clock::duration>(left, kPollInterval));
            continue;
        }
        struct pollfd ended = {process.get(), POLLIN, 0};
        poll(&ended, 1, static_cast<int>(left.count()));
    }
    return true;
}

bool groupAlive(pid_t group) {
    return kill(-group, 0) == 0;
}

// SIGTERM to the whole group; SIGKILL to what is left after the grace.
// Returns the shell's wait status.
int endGroup(pid_t group) {
    kill(-group, SIGTERM);
    auto deadline = Clock::now() + kKillGrace;
    int status = 0;
    bool shellEnded = waitUntil(group, deadline, &status);
    while (shellEnded && groupAlive(group) && Clock::now() < deadline) {
        std::this_thread::sleep_for(kPollInterval);
    }
    if (groupAlive(group)) kill(-group, SIGKILL);
    if (!shellEnded) {
        while (waitpid(group, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return status;
}

}  // namespace

ShellOutcome runShellWithin(const char* line, int limitSeconds) {
    ShellOutcome outcome;
    pid_t shell = spawnShell(line);
    if (shell < 0) return outcome;
    auto deadline = Clock::now() + std::chrono::seconds(limitSeconds < 1 ? 1 : limitSeconds);
    if (waitUntil(shell, deadline, &outcome.status)) return outcome;
    outcome.timedOut = true;
    outcome.status = endGroup(shell);
    return outcome;
}

}  // namespace xel
}  // namespace ornak
