// The command line of lyrd-sandbox-helper, which tools/lyrd-sandbox runs
// once it has checked the user's own:
//   lyrd-sandbox-helper start DIR BIN SIZE WAIT_MS CONFIG [SRC DEST]...
//   lyrd-sandbox-helper exec DIR CMD [ARG...]
//   lyrd-sandbox-helper stop DIR
// DIR is the sandbox's folder, BIN the programs' folder, SIZE that of /data,
// WAIT_MS the longest wait for start-up; CONFIG is empty for no
// configuration file, and each SRC DEST pair copies a host file into the
// tree.
#pragma once

#include <string>
#include <vector>

#include "Start.h"

namespace sandbox {

struct HelperCommand {
    enum class Kind { kStart, kExec, kStop };
    Kind kind = Kind::kStop;
    std::string root;                  // the sandbox's folder
    StartOptions start;                // start's other words
    std::vector<std::string> command;  // what exec runs
};

// Parses the words after the program name; false on a usage error.
bool parseHelperCommand(const std::vector<std::string>& args, HelperCommand* command);

const char* helperUsageText();

}  // namespace sandbox
