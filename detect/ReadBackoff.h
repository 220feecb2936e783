// Keeps a reader of a broken source from spinning. The first few failed
// reads in a row are retried at once; after that every further failure
// pauses, each pause twice as long as the one before, up to a ceiling. The
// next good read brings the reader back to full speed. cancel() ends the
// current pause and every later one at once, for a thread asked to exit.
#pragma once

#include <chrono>

#include <utils/Condition.h>
#include <utils/Mutex.h>

namespace ornak {
namespace xel {

class ReadBackoff {
  public:
    using Duration = std::chrono::milliseconds;

    static constexpr int kFreeRetries = 3;
    static constexpr Duration kFirstPause{50};
    static constexpr Duration kLongestPause{3200};

    ReadBackoff(int freeRetries = kFreeRetries, Duration firstPause = kFirstPause,
                Duration longestPause = kLongestPause);

    // A good read: the next failure starts counting afresh.
    void readSucceeded();
    // A failed read: pauses when failures have repeated. Returns once the
    // pause is over or cancelled.
    void readFailed();
    // Thread-safe; lasts for the life of the object.
    void cancel();

    // The pause the next failure would take.
    Duration nextPause() const;

  private:
    const int mFreeRetries;
    const Duration mFirstPause;
    const Duration mLongestPause;
    int mFailures = 0;  // in a row; touched by the reading thread only

    android::Mutex mLock;
    android::Condition mCancelled;
    bool mCancel GUARDED_BY(mLock) = false;
};

}  // namespace xel
}  // namespace ornak
