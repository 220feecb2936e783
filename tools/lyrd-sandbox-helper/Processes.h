// Processes the sandbox starts or ends, known by pidfd: a pidfd always means
// the same process, where a pid may have been reused, and it becomes readable
// when the process ends, so waiting needs no polling.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <vector>

#include <utils/UniqueFd.h>

namespace sandbox {

using Clock = std::chrono::steady_clock;

// A pidfd for pid (close-on-exec); not ok() with errno set when pid is gone.
android::UniqueFd openPidfd(pid_t pid);
bool signalPidfd(const android::UniqueFd& pidfd, int signal);

// Waits until every process has ended or deadline has passed; the ended ones
// leave pidfds. True when none is left.
bool waitForEnd(std::vector<android::UniqueFd>* pidfds, Clock::time_point deadline);

// Reaps the child pid and returns its status as a shell reports it: the
// exit status, or 128 + the signal that ended it.
int reapChild(pid_t pid);

// In a new child: closes every descriptor from first up, so that nothing
// the caller left open (a pipe it reads to the end, say) lives on in the
// sandbox.
void closeDescriptorsFrom(int first);

// Milliseconds left until deadline, for poll(): 0 once it has passed.
int millisecondsUntil(Clock::time_point deadline);

}  // namespace sandbox
