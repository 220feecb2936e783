#include "Holder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <chrono>

#include <utils/UniqueFd.h>

#include "Processes.h"

namespace sandbox {
namespace {

using android::UniqueFd;

// Building the tree takes well under a second; a slow disk or a loaded
// machine gets ample room.
constexpr std::chrono::seconds kBuildWait{30};
constexpr int kReadyFd = 3;

[[noreturn]] void runHolder(NamespaceMode mode, const TreeContents& tree, const UniqueFd& ready,
                            const UniqueFd& log, const UniqueFd& null) {
    setsid();
    if (dup2(null.get(), 0) < 0 || dup2(null.get(), 1) < 0 || dup2(log.get(), 2) < 0 ||
        dup2(ready.get(), kReadyFd) < 0) {
        _exit(1);
    }
    closeDescriptorsFrom(kReadyFd + 1);
    // The holder must pin no folder of the host's.
    if (chdir("/") != 0) _exit(1);
    std::string error;
    if (!makeNamespaces(mode, &error) || !buildTree(tree, &error)) {
        fprintf(stderr, "lyrd-sandbox: %s\n", error.c_str());
        _exit(1);
    }
    if (write(kReadyFd, "r", 1) != 1) _exit(1);
    close(kReadyFd);
    // Nobody reads sandbox.log after the build.
    dup2(0, 2);
    // Ends by a signal: stop's SIGTERM, or its SIGKILL.
    for (;;) pause();
}

bool awaitReady(const UniqueFd& ready) {
    pollfd polled = {ready.get(), POLLIN, 0};
    const auto deadline = Clock::now() + kBuildWait;
    int got;
    while ((got = poll(&polled, 1, millisecondsUntil(deadline))) < 0 && errno == EINTR) {
    }
    char byte = 0;
    return got == 1 && read(ready.get(), &byte, 1) == 1 && byte == 'r';
}

}  // namespace

bool startHolder(const SandboxDir& dir, NamespaceMode mode, const TreeContents& tree, pid_t* pid,
                 std::string* error) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        *error = "cannot make a pipe";
        return false;
    }
    UniqueFd readEnd(ends[0]), writeEnd(ends[1]);
    UniqueFd log(
            open(dir.file("sandbox.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    UniqueFd null(open("/dev/null", O_RDWR | O_CLOEXEC));
    if (!log.ok() || !null.ok()) {
        *error = "cannot open " + dir.file("sandbox.log") + " or /dev/null";
        return false;
    }
    pid_t child = fork();
    if (child == 0) runHolder(mode, tree, writeEnd, log, null);
    writeEnd.reset();
    if (child > 0 && awaitReady(readEnd)) {
        *pid = child;
        return true;
    }
    if (child > 0) {
        kill(child, SIGKILL);
        reapChild(child);
    }
    *error = "could not build the sandbox tree in " + dir.path();
    return false;
}

}  // namespace sandbox
