// Time in nanoseconds, as the platform counts it.
#pragma once

#include <stdint.h>

namespace android {

using nsecs_t = int64_t;

enum { SYSTEM_TIME_REALTIME = 0, SYSTEM_TIME_MONOTONIC = 1 };

// Now, on the given clock.
nsecs_t systemTime(int clock = SYSTEM_TIME_MONOTONIC);

constexpr nsecs_t milliseconds_to_nanoseconds(int64_t ms) {
    return ms * 1000000;
}
constexpr nsecs_t seconds_to_nanoseconds(int64_t s) {
    return s * 1000000000;
}

}  // namespace android
