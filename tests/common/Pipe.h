// A pipe whose ends close with it, for handing a test's descriptor to code
// that writes to it.
#pragma once

#include <string>

#include <utils/UniqueFd.h>

namespace lyrd_test {

struct Pipe {
    Pipe();  // close-on-exec; both ends fail ok() when no pipe can be made

    android::UniqueFd readEnd;
    android::UniqueFd writeEnd;
};

// Everything read from fd up to the end of the stream; "<open>" follows
// what came when the end does not come within a deadline generous for a
// slow machine.
std::string readToEnd(int fd);

}  // namespace lyrd_test
