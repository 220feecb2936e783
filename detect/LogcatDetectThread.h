// Reads the log buffers entry by entry and sends the events whose key words
// appear in an entry's message to the internal channel.
#pragma once

#include <utils/Thread.h>

#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class LogcatDetectThread : public android::Thread {
  public:
    // Opens the four log buffers from the oldest record they hold.
    explicit LogcatDetectThread(LyrDebugService* service);
    ~LogcatDetectThread() override;

    // Also wakes the thread from a blocking read, so it ends soon.
    void requestExit() override;

  private:
    bool threadLoop() override;

    LyrDebugService* mService;  // not owned
};

}  // namespace xel
}  // namespace ornak
