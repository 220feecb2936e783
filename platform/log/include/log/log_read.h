// A point in wall-clock time as the log reader sees it: whole seconds and
// nanoseconds since the epoch.
#pragma once

#include <stdint.h>
#include <time.h>

struct log_time {
    uint32_t tv_sec;
    uint32_t tv_nsec;

#ifdef __cplusplus
    // 0 s 0 ns: a reader started from here sees every record a buffer holds.
    static const log_time EPOCH;

    constexpr log_time() : tv_sec(0), tv_nsec(0) {}
    constexpr log_time(uint32_t sec, uint32_t nsec) : tv_sec(sec), tv_nsec(nsec) {}
    explicit constexpr log_time(const timespec& t)
        : tv_sec(static_cast<uint32_t>(t.tv_sec)), tv_nsec(static_cast<uint32_t>(t.tv_nsec)) {}

    constexpr bool operator==(const log_time& o) const {
        return tv_sec == o.tv_sec && tv_nsec == o.tv_nsec;
    }
    constexpr bool operator!=(const log_time& o) const {
        return !(*this == o);
    }
    constexpr bool operator<(const log_time& o) const {
        return tv_sec < o.tv_sec || (tv_sec == o.tv_sec && tv_nsec < o.tv_nsec);
    }
    constexpr bool operator>(const log_time& o) const {
        return o < *this;
    }
    constexpr bool operator<=(const log_time& o) const {
        return !(o < *this);
    }
    constexpr bool operator>=(const log_time& o) const {
        return !(*this < o);
    }
#endif
};
