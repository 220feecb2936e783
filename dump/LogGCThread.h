// The garbage-collection thread: one removeOldDumps pass when it starts,
// then one pass mSleepSeconds after the end of each pass.
#pragma once

#include <stdint.h>

#include <utils/Condition.h>
#include <utils/Mutex.h>
#include <utils/Thread.h>

#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class LogGCThread : public android::Thread {
  public:
    static constexpr uint32_t kSleepSeconds = 1800;

    explicit LogGCThread(LyrDebugService* service, uint32_t sleepSeconds = kSleepSeconds);
    ~LogGCThread() override;

    // Also cuts the pause between passes short, so the thread ends at once.
    // The base's requestExitAndWait() does not come through here: to stop
    // the thread, call requestExit() and then join().
    void requestExit() override;
    // Ends the current pause with a pass now; the next pause then starts
    // from that pass. A request during a pass gives one more pass after it.
    // Thread-safe.
    void collectNow();

  private:
    bool threadLoop() override;

    LyrDebugService* mService;  // not owned
    uint32_t mSleepSeconds;
    android::Mutex mPauseLock;
    android::Condition mPauseEnd;
    bool mCollectNow GUARDED_BY(mPauseLock) = false;
};

}  // namespace xel
}  // namespace ornak
