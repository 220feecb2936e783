#include <utils/Timers.h>

#include <time.h>

namespace android {

nsecs_t systemTime(int clock) {
    struct timespec now = {};
    clock_gettime(clock == SYSTEM_TIME_MONOTONIC ? CLOCK_MONOTONIC : CLOCK_REALTIME, &now);
    return static_cast<nsecs_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace android
