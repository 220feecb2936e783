// A corpus of log lines that look like a busy device's: system services,
// graphics, networking and applications, with pids, package names,
// durations and sizes in their messages. A small share of the lines holds
// one of a given list of key words.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace lyrd_bench {

struct LogLine {
    const char* buffer;  // "main", "system" or "radio"
    int prio;
    std::string tag;
    std::string message;
    bool holdsKeyWord;
};

// lines lines in blocks of hitEvery; one line at a random place in each
// whole block holds a key word, taken from hitKeyWords in turn and followed
// by a non-digit. The same seed gives the same corpus.
std::vector<LogLine> makeLogCorpus(size_t lines, size_t hitEvery,
                                   const std::vector<std::string>& hitKeyWords, uint32_t seed);

// Appends every line to its buffer in the host log-buffer folder, as the
// calling process; false at the first line that could not be written.
bool writeLogCorpus(const std::vector<LogLine>& corpus);

}  // namespace lyrd_bench
