// The single consumer of debug events: waits on the kernel uevent socket and
// on the internal channel, and runs dumpEvent for every event it receives,
// one after another on this thread.
#pragma once

#include <utils/Thread.h>

#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class MonitorThread : public android::Thread {
  public:
    explicit MonitorThread(LyrDebugService* service);
    ~MonitorThread() override;

    android::status_t readyToRun() override;
    // Also wakes the thread from its wait, so it ends at once.
    void requestExit() override;

  private:
    bool threadLoop() override;

    LyrDebugService* mService;  // not owned
};

}  // namespace xel
}  // namespace ornak
