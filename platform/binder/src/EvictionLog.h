// Counts the connections closed to make room at the connection limit and
// says when to log them: one line per burst, a burst ending once a second
// passes without an eviction, or after ten seconds of evictions with no
// such pause, so that a client opening connections without end costs one
// line every ten seconds.
#pragma once

#include <optional>

#include "WakeTimer.h"

namespace android {
namespace host {

class EvictionLog {
  public:
    // Counts one eviction at now.
    void add(Clock::time_point now);
    // When the line of the burst under way is due; none without a burst.
    std::optional<Clock::time_point> dueAt() const;
    // The evictions of a burst that has ended by now, which starts a new
    // count; 0 while the burst goes on.
    int takeDue(Clock::time_point now);

  private:
    int mCount = 0;
    Clock::time_point mFirst;  // of the burst under way
    Clock::time_point mLast;
};

}  // namespace host
}  // namespace android
