// lyrdctl, the client of the lyrd service: everything but the process entry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lyrdctl {

// Runs one command line (the words after the program name) and returns the
// exit status: 0 on success, 1 when the work fails, 2 on a usage error.
// outFd is the descriptor out writes to, which a dump is written to.
int run(const std::vector<std::string>& args, std::ostream& out, int outFd, std::ostream& err);

}  // namespace lyrdctl
