// The checks, each a pass over what the parser saw (and, for those about
// the configuration as a whole, what it built), adding diagnostics.
#pragma once

#include <optional>
#include <string>

#include "Diagnostic.h"
#include "ParseRecord.h"
#include "config/Configuration.h"

namespace checkconf {

using ornak::xel::Configuration;

// Each rejected line as an error; lines the daemon ignores or mistakes for
// something else as warnings.
void checkLines(const ParseRecord& record, Diagnostics& out);

// Values that parse but do not do what they seem to say.
void checkValues(const ParseRecord& record, Diagnostics& out);

// Lines for a handler, event or group after a line that copied it.
void checkCopies(const ParseRecord& record, Diagnostics& out);

// What the configuration does as a whole: monitors, levels, detection and
// the global limits.
void checkWhole(const ParseRecord& record, const Configuration& config, Diagnostics& out);

// Whether the additional file was read, and how; additional is the file
// given on the command line for it, if any.
void checkAdditionalFile(const ParseRecord& record, const std::optional<std::string>& additional,
                         Diagnostics& out);

}  // namespace checkconf
