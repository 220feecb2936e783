// The wait of start: lyrd publishes its service only once its start-up has
// ended, whatever the outcome, so the service answering a ping means the
// start-up is over.
#pragma once

#include <sys/types.h>

#include <chrono>

#include "SandboxDir.h"

namespace sandbox {

enum class StartUpOutcome { kAnswered, kExited, kTimedOut };

struct StartUpResult {
    StartUpOutcome outcome = StartUpOutcome::kTimedOut;
    int exitStatus = 0;  // once lyrd exited: as a shell reports it
};

// Waits until the service "lyrd" inside the sandbox answers, lyrd (a child
// of the caller) exits, or wait has passed, whichever comes first. The
// kernel tells of each: a watch on the service folder, and pidfds.
StartUpResult awaitStartUp(const SandboxDir& dir, const Anchor& anchor, pid_t lyrd,
                           std::chrono::milliseconds wait);

}  // namespace sandbox
