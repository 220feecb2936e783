// The `log` tool: appends one record to a log buffer.
//
//   log [-b BUFFER] [-p PRIORITY] [-t TAG] MESSAGE...
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <android/log.h>
#include <log/logger.h>

namespace lyrd_tools {

struct LogOptions {
    log_id_t buffer = LOG_ID_MAIN;
    int priority = ANDROID_LOG_INFO;
    std::string tag = "log";
    std::string message;  // the words of MESSAGE joined with single blanks
};

// The priority named by a letter (v d i w e f, either case) or a number
// (2 to 7); -1 for anything else.
int parsePriority(const std::string& text);

// Reads the arguments that follow the program name; false with the reason
// in *error on a usage error.
bool parseLogArgs(const std::vector<std::string>& args, LogOptions* options, std::string* error);

// Runs the tool: 0 when the record was appended, 1 when the buffer cannot
// be written, 2 on a usage error. Messages go to err.
int runLog(const std::vector<std::string>& args, std::ostream& err);

}  // namespace lyrd_tools
