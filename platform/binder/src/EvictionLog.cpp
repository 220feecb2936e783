#include "EvictionLog.h"

#include <algorithm>
#include <utility>

namespace android {
namespace host {
namespace {

constexpr std::chrono::seconds kQuietEnd{1};
constexpr std::chrono::seconds kLongestBurst{10};

}  // namespace

void EvictionLog::add(Clock::time_point now) {
    if (mCount++ == 0) mFirst = now;
    mLast = now;
}

std::optional<Clock::time_point> EvictionLog::dueAt() const {
    if (mCount == 0) return std::nullopt;
    return std::min(mLast + kQuietEnd, mFirst + kLongestBurst);
}

int EvictionLog::takeDue(Clock::time_point now) {
    std::optional<Clock::time_point> due = dueAt();
    if (!due || now < *due) return 0;
    return std::exchange(mCount, 0);
}

}  // namespace host
}  // namespace android
