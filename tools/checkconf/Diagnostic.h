// One problem the checker reports, at the line that makes it so, with the
// messages the daemon logs for that line.
#pragma once

#include <stddef.h>

#include <string>
#include <utility>
#include <vector>

#include "ParseRecord.h"

namespace checkconf {

enum class Severity { kError, kWarning };

struct Diagnostic {
    Position at;
    Severity severity;
    std::string text;
    std::vector<std::string> messages;
};

using Diagnostics = std::vector<Diagnostic>;

inline void addWarning(Diagnostics& out, Position at, std::string text) {
    out.push_back(Diagnostic{at, Severity::kWarning, std::move(text), {}});
}

// "line N" in the file at, or "PATH:N" in another file, to name a second
// line in a diagnostic.
std::string lineName(const ParseRecord& record, Position at, Position other);

// Quoted for a diagnostic: "text".
std::string quoted(const std::string& text);

}  // namespace checkconf
