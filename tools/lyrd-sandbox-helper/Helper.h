// lyrd-sandbox-helper: everything but the process entry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace sandbox {

// Runs one command line (the words after the program name) and returns the
// exit status; exec does not return when its command runs.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sandbox
