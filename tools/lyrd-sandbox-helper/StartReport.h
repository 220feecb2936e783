// What start says once its wait is over: one line on whether lyrd started
// and, when it did not, the error lines lyrd logged, read from its log.
#pragma once

#include <sys/types.h>

#include <string>

#include "StartUp.h"

namespace sandbox {

struct StartReport {
    std::string text;     // for standard output: the line, then error lines
    std::string warning;  // for standard error when the wait ran out first
};

// log is the content of lyrd.log, pid lyrd's, logPath where the log is.
StartReport reportStart(const std::string& log, pid_t pid, const StartUpResult& result,
                        const std::string& logPath);

}  // namespace sandbox
