// What is wrong with a line the daemon rejects, in a configuration
// writer's words.
#pragma once

#include <string>

#include "ParseRecord.h"

namespace checkconf {

// "global handler", "event group" and so on.
const char* sectionName(ConfigSection section);

// The text of the error for a line whose problem the parser reported.
std::string problemText(const LineRecord& line);

}  // namespace checkconf
