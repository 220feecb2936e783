// Programs run inside a sandbox: the daemon, and the commands of exec. Both
// get an empty environment but PATH, the tree's root as root and working
// folder, and the sandbox's namespaces.
#pragma once

#include <sys/types.h>

#include <ostream>
#include <string>
#include <vector>

#include "SandboxDir.h"

namespace sandbox {

constexpr const char* kSandboxPath = "/system/bin:/usr/sbin:/usr/bin:/sbin:/bin";

// Starts lyrd inside the sandbox through anchor, detached from the
// caller's session, its standard output appended to lyrd.out and its
// standard error to lyrd.log; both are emptied first. Returns its pid (on
// the host, as everywhere in the sandbox), or -1.
pid_t startDaemon(const SandboxDir& dir, const Anchor& anchor, std::string* error);

// Replaces the calling process, already inside the sandbox, by command:
// exits 127 when it cannot be found and 126 when it cannot be run.
[[noreturn]] void execInside(const std::vector<std::string>& command);

// exec: runs command inside the running sandbox of dir in place of this
// process, passing the standard streams and the exit status through; 125
// when no sandbox runs there.
int runExec(const SandboxDir& dir, const std::vector<std::string>& command, std::ostream& err);

}  // namespace sandbox
