// The timer that wakes the server loop when a deadline of one of its
// connections, or the report of closed connections, is due: a timerfd in
// the loop's epoll set, set to the earliest of the times asked for.
//
// Not thread-safe; the server loop guards it with its lock.
#pragma once

#include <chrono>
#include <optional>

#include <utils/UniqueFd.h>

namespace android {
namespace host {

// CLOCK_MONOTONIC, the clock the timer runs on.
using Clock = std::chrono::steady_clock;

class WakeTimer {
  public:
    // Aborts when no timer can be made: the loop cannot run without one.
    WakeTimer();

    int fd() const { return mFd.get(); }
    // The timer fires at when, or earlier if it was already set earlier.
    void fireBy(Clock::time_point when);
    // Takes a firing; the timer is then unset until fireBy() is called.
    void consume();

  private:
    UniqueFd mFd;
    std::optional<Clock::time_point> mSetFor;
};

}  // namespace host
}  // namespace android
