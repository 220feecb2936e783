// Waiting for a binder service to answer, which lyrd's does only once its
// start-up has ended.
#pragma once

#include <string>

namespace sandbox {

// Blocks until the service name in the service folder dir answers a ping.
// The folder is watched, so each try follows a new entry in it rather than
// a clock. False when the folder cannot be watched.
bool awaitService(const std::string& dir, const std::string& name);

}  // namespace sandbox
