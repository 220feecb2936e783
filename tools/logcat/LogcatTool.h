// The `logcat` tool: prints the records of log buffers, oldest first.
//
//   logcat [-d] [-b BUFFER]... [-v brief|raw]
//
// With -d it prints what the buffers hold and exits; without, it goes on
// printing new records until killed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <log/logger.h>
#include <log/logprint.h>

namespace lyrd_tools {

enum class LogcatFormat {
    kBrief,  // "P/TAG(PID): MESSAGE", line feeds of MESSAGE as backslash n
    kRaw,    // the bare message
};

struct LogcatOptions {
    bool dump = false;
    std::vector<log_id_t> buffers;  // main and system unless -b names some
    LogcatFormat format = LogcatFormat::kBrief;
};

// Reads the arguments that follow the program name; -b takes one name or
// several separated by commas. False with the reason in *error on a usage
// error.
bool parseLogcatArgs(const std::vector<std::string>& args, LogcatOptions* options,
                     std::string* error);

// One record as a line of output, line end included.
std::string formatEntry(const AndroidLogEntry& entry, LogcatFormat format);

// Runs the tool: 0 after a dump, 1 when a buffer cannot be opened or read,
// 2 on a usage error. Records go to out, messages to err.
int runLogcat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lyrd_tools
