// start: the sandbox's folder, its holder, lyrd, the wait for lyrd's
// start-up and what is then said about it.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "Tree.h"

namespace sandbox {

struct StartOptions {
    TreeContents tree;  // root is set by start, under the sandbox's folder
    std::chrono::milliseconds wait{10000};
};

// Starts a sandbox in the folder root (created when missing). Exit status:
// 0 once lyrd runs, 2 where namespaces cannot be made, 1 otherwise.
int runStart(const std::string& root, StartOptions options, std::ostream& out, std::ostream& err);

}  // namespace sandbox
