// Key words in the style of fault reports, and a configuration that spreads
// them over enabled monitors, for measuring key-word matching.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

namespace lyrd_bench {

// Events hold at most this many key words each.
constexpr size_t kKeyWordsPerEvent = 10;

// count distinct key words, "<part> <fault> code NN". The first ten differ
// only in their part, so every list of ten or more holds the same first
// ten. None is a substring of another, and each ends in two digits, so a
// text that holds one followed by a non-digit holds no other.
std::vector<std::string> makeKeyWords(size_t count);

// Name of the event that holds key word index of a list spread over
// monitors monitors.
std::string eventNameOf(size_t index, int monitors);

// A configuration with the log-buffer and kernel-log threads off, dumps
// under dumpPath, and keyWords spread over monitors enabled monitors:
// key word i goes to monitor i % monitors, into that monitor's events in
// runs of kKeyWordsPerEvent, so every event belongs to one monitor only.
std::string makeKeyWordConfig(const std::vector<std::string>& keyWords, int monitors,
                              const std::string& dumpPath);

}  // namespace lyrd_bench
