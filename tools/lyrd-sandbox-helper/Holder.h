// The holder: the process that owns a sandbox's namespaces. A child of
// start, it makes the namespaces, builds the tree in them, says so, and then
// only keeps them alive, in a session of its own, until stop ends it. Its
// errors go to sandbox.log.
#pragma once

#include <sys/types.h>

#include <string>

#include "Namespaces.h"
#include "SandboxDir.h"
#include "Tree.h"

namespace sandbox {

// Starts the holder and waits until the tree is built. On failure the
// holder is ended and *error says so; sandbox.log tells why.
bool startHolder(const SandboxDir& dir, NamespaceMode mode, const TreeContents& tree, pid_t* pid,
                 std::string* error);

}  // namespace sandbox
