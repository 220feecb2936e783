// Checks a configuration with the daemon's own parser and no side effect:
// the main file, then the additional file it names, each line the daemon
// would reject skipped so that every one is found.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Diagnostic.h"
#include "ParseRecord.h"

namespace checkconf {

struct CheckOptions {
    std::string file;
    // Read in place of the additional file the main file names.
    std::optional<std::string> additional;
};

struct CheckResult {
    // False when the main file cannot be read; then nothing else is set.
    bool readable = true;
    ParseRecord record;
    Diagnostics diagnostics;  // in file order
    size_t errors = 0;
    size_t warnings = 0;
    // The status report, one line each, as the daemon logs it at start-up.
    std::vector<std::string> report;
};

CheckResult checkConfiguration(const CheckOptions& options);

// Why path cannot be read as a configuration, or empty when it can.
std::string unreadableReason(const std::string& path);

}  // namespace checkconf
