// Ending every process of a sandbox. The sandbox has no pid namespace of its
// own (its pids are the host's, which its users rely on), so the kernel
// keeps no list of its processes: they are found by their mount namespace
// in /proc, and their ends are then learnt from pidfds.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "SandboxDir.h"

namespace sandbox {

// Live processes whose mount namespace is ns; a zombie has none left. None
// for the caller's own namespace.
std::vector<pid_t> processesIn(const std::string& ns);

struct StopTimes {
    std::chrono::milliseconds grace{2000};      // from SIGTERM to SIGKILL
    std::chrono::milliseconds killWait{10000};  // for the killed ones to end
};

// Sends SIGTERM to every process of ns and SIGKILL to those left after the
// grace. False, with the pids left in *error, when some will not end.
bool endProcessesIn(const std::string& ns, const StopTimes& times, std::string* error);

// Ends the sandbox of dir when it runs, which takes its mounts away with its
// namespace, then forgets it. The namespace is held open meanwhile, so that
// its name stays its own. Stopping a sandbox that is not running is no
// error.
bool stopSandbox(const SandboxDir& dir, std::string* error, const StopTimes& times = {});

}  // namespace sandbox
