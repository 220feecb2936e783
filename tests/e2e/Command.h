// Runs a program to its end, feeding it standard input and collecting its
// standard output, standard error and exit status.
#pragma once

#include <string>
#include <vector>

namespace lyrd_e2e {

struct CommandResult {
    // The exit status, or 128 plus the signal that ended the program; 127
    // when it could not be started.
    int status = -1;
    std::string out;
    std::string err;
};

// argv[0] is looked up in PATH. The program inherits the environment and no
// descriptor besides the three standard ones.
CommandResult runCommand(const std::vector<std::string>& argv, const std::string& input = "");

// The status waitpid reported, as a shell would print it.
int shellStatus(int waitStatus);

}  // namespace lyrd_e2e
