// lyrd-checkconf [--werror] [--report] [--additional FILE] FILE: everything
// but the process entry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace checkconf {

// Runs one command line (the words after the program name); returns the
// exit status: 0 without error (and, with --werror, without warning), 1
// otherwise, 2 on a usage error or a file that cannot be read.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace checkconf
