// The sandbox's private mount and network namespaces: whether they can be
// made here, making them, and joining them.
#pragma once

#include <sys/types.h>

#include <string>

#include <utils/UniqueFd.h>

namespace sandbox {

// Root makes the namespaces directly; any other user makes them inside a
// user namespace of its own that maps it to root.
enum class NamespaceMode { kNone, kRoot, kUser };

// How the namespaces can be made here, tried in a short-lived child so that
// the caller stays where it is.
NamespaceMode probeNamespaces();

// Moves the calling process, which must have one thread, into new
// namespaces, from which no mount event propagates back to the host.
bool makeNamespaces(NamespaceMode mode, std::string* error);

// The mount namespace of a process ("self" or a pid) as /proc names it,
// such as "mnt:[4026532281]"; empty once the process has ended.
std::string mountNamespaceOf(const std::string& process);

// Moves the calling process, which must have one thread, into the
// namespaces of the process behind pidfd (whose pid is pid), then makes
// root its root and working folder. The user namespace is joined only when
// it is not the caller's own already.
bool enterSandbox(const android::UniqueFd& pidfd, pid_t pid, const std::string& root,
                  std::string* error);

}  // namespace sandbox
