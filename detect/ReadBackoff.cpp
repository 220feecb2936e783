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

    const android::nsecs_t until =
            android::systemTime() + android::milliseconds_to_nanoseconds(pause.count());
    android::Mutex::Autolock guard(mLock);
    while (!mCancel) {
        android::nsecs_t left = until - android::systemTime();
        if (left <= 0) break;
        mCancelled.waitRelative(mLock, left);
    }
}

void ReadBackoff::cancel() {
    android::Mutex::Autolock guard(mLock);
    mCancel = true;
    mCancelled.broadcast();
}

}  // namespace xel
}  // namespace ornak
