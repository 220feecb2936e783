#include "Processes.h"

#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

namespace sandbox {

using android::UniqueFd;

UniqueFd openPidfd(pid_t pid) {
    return UniqueFd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
}

bool signalPidfd(const UniqueFd& pidfd, int signal) {
    return syscall(SYS_pidfd_send_signal, pidfd.get(), signal, nullptr, 0) == 0;
}

bool waitForEnd(std::vector<UniqueFd>* pidfds, Clock::time_point deadline) {
    while (!pidfds->empty()) {
        std::vector<pollfd> polled;
        for (const UniqueFd& pidfd : *pidfds) polled.push_back({pidfd.get(), POLLIN, 0});
        int ready = poll(polled.data(), polled.size(), millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        size_t kept = 0;
        for (size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].revents == 0) (*pidfds)[kept++] = std::move((*pidfds)[i]);
        }
        pidfds->resize(kept);
    }
    return true;
}

int reapChild(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void closeDescriptorsFrom(int first) {
    syscall(SYS_close_range, first, UINT_MAX, 0);
}

int millisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

}  // namespace sandbox
