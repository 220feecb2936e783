// `grep -F -f` over the same text as the matcher, timed in the same run:
// the reference that the key-word matcher's speed is read against.
#pragma once

#include <string>

namespace lyrd_bench {

struct GrepTiming {
    bool found = false;       // grep is on this machine
    bool ok = false;          // every pass ran and counted the same lines
    double seconds = 0;       // median wall time of one whole run
    long matchingLines = -1;  // what grep -c printed
};

// Runs `grep -F -c -f keyWordFile textFile` passes times in the C locale
// (bytes, as the matcher compares them), from process start to exit.
GrepTiming timeGrepFixed(const std::string& keyWordFile, const std::string& textFile, int passes);

}  // namespace lyrd_bench
