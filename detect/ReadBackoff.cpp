#include "detect/ReadBackoff.h"

namespace ornak {
namespace xel {

ReadBackoff::ReadBackoff(int freeRetries, Duration firstPause, Duration longestPause)
    : mFreeRetries(freeRetries), mFirstPause(firstPause), mLongestPause(longestPause) {}

void ReadBackoff::readSucceeded() {
    mFailures = 0;
}

ReadBackoff::Duration ReadBackoff::nextPause() const {
    int paused = mFailures - mFreeRetries;  // pauses already taken in this run
    if (paused < 0) return Duration::zero();
    Duration pause = mFirstPause;
    for (int i = 0; i < paused && pause < mLongestPause; ++i) pause *= 2;
    return pause < mLongestPause ? pause : mLongestPause;
}

void ReadBackoff::readFailed() {
    Duration pause = nextPause();
    // Bounded so that the count never overflows on a source that stays broken.
    if (mFailures < mFreeRetries + 64) ++mFailures;
    if (pause == Duration::zero()) return;

    auto until = std::chrono::steady_clock::now() + pause;
    std::unique_lock<std::mutex> guard(mLock);
    mCancelled.wait_until(guard, until, [this] { return mCancel; });
}

void ReadBackoff::cancel() {
    std::lock_guard<std::mutex> guard(mLock);
    mCancel = true;
    mCancelled.notify_all();
}

}  // namespace xel
}  // namespace ornak
