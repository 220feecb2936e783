// Reads the log buffers entry by entry and sends the events whose key words
// appear in an entry's message to the internal channel.
#pragma once

#include <sys/types.h>

#include <log/logger.h>
#include <utils/Thread.h>

#include "detect/ExitEvent.h"
#include "detect/KeyWordIndex.h"
#include "detect/ReadBackoff.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class LogcatDetectThread : public android::Thread {
  public:
    // Opens the four log buffers from the oldest record they hold.
    explicit LogcatDetectThread(LyrDebugService* service);
    ~LogcatDetectThread() override;

    // Also wakes the thread from a blocking read or a wait for room in the
    // channel, so it ends soon. A wake-up that comes just before the read
    // starts is missed: callers repeat the request until the thread has ended.
    void requestExit() override;

  private:
    bool threadLoop() override;

    LyrDebugService* mService;  // not owned
    struct logger_list* mList;  // owned
    const pid_t mOwnPid;
    ReadBackoff mBackoff;
    // Ends a wait for room in the channel.
    ExitEvent mExit;
    KeyWordScan mScan;
};

}  // namespace xel
}  // namespace ornak
