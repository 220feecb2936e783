// Reads the kernel message log record by record and sends the events whose
// key words appear in a record to the internal channel.
#pragma once

#include <utils/Thread.h>

#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class KmsgDetectThread : public android::Thread {
  public:
    explicit KmsgDetectThread(LyrDebugService* service);
    ~KmsgDetectThread() override;

    // Opens "/dev/kmsg"; a failure ends the thread silently.
    android::status_t readyToRun() override;
    // Also wakes the thread from a blocking read, so it ends at once.
    void requestExit() override;

  private:
    bool threadLoop() override;

    LyrDebugService* mService;  // not owned
};

}  // namespace xel
}  // namespace ornak
