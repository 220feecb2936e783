// lyrdctl, the client of the lyrd service: everything but the process entry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lyrdctl {

// Runs one command line (the words after the program name) and returns the
// exit status: 0 on success, 1 when the work fails, 2 on a usage error.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lyrdctl
