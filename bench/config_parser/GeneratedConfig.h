// A large configuration in the shape vendors write: per 100 lines about one
// handler, ten events with their key words and handlers, their group lines,
// and monitors that take the events in groups and one by one.
#pragma once

#include <string>

namespace lyrd_bench {

// A configuration of exactly lines lines (at least 1,000), ten monitors.
std::string generateConfig(int lines);

}  // namespace lyrd_bench
