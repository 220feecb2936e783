#include "StartUp.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include "Namespaces.h"
#include "Processes.h"
#include "ServiceWait.h"

namespace sandbox {
namespace {

using android::UniqueFd;

// The ping runs in a child that has entered the sandbox, where the
// service's socket is.
pid_t startPinger(const SandboxDir& dir, const Anchor& anchor) {
    pid_t child = fork();
    if (child != 0) return child;
    std::string error;
    if (!enterSandbox(anchor.pidfd, anchor.pid, dir.root(), &error)) {
        fprintf(stderr, "lyrd-sandbox: %s\n", error.c_str());
        _exit(1);
    }
    _exit(awaitService("/dev/hostbinder", "lyrd") ? 0 : 1);
}

}  // namespace

StartUpResult awaitStartUp(const SandboxDir& dir, const Anchor& anchor, pid_t lyrd,
                           std::chrono::milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    UniqueFd lyrdFd = openPidfd(lyrd);
    pid_t pinger = startPinger(dir, anchor);
    UniqueFd pingerFd = pinger > 0 ? openPidfd(pinger) : UniqueFd();
    StartUpResult result;
    for (;;) {
        pollfd polled[] = {{lyrdFd.get(), POLLIN, 0}, {pingerFd.get(), POLLIN, 0}};
        int got = poll(polled, 2, millisecondsUntil(deadline));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (polled[0].revents != 0) {
            result = {StartUpOutcome::kExited, reapChild(lyrd)};
            break;
        }
        // A pinger that failed leaves the wait to lyrd's exit and the clock.
        const bool answered = reapChild(pinger) == 0;
        pinger = -1;
        pingerFd.reset();
        if (answered) return {StartUpOutcome::kAnswered, 0};
    }
    if (pinger > 0) {
        kill(pinger, SIGKILL);
        reapChild(pinger);
    }
    return result;
}

}  // namespace sandbox
