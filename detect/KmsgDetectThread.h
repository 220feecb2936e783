// Reads the kernel message log record by record and sends the events whose
// key words appear in a record to the internal channel.
#pragma once

#include <utils/Thread.h>
#include <utils/UniqueFd.h>

#include "detect/ExitEvent.h"
#include "detect/KeyWordIndex.h"
#include "detect/ReadBackoff.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class KmsgDetectThread : public android::Thread {
  public:
    static constexpr const char* kDevicePath = "/dev/kmsg";

    explicit KmsgDetectThread(LyrDebugService* service);
    // Reads devicePath (which must outlive the thread) instead, for tests.
    KmsgDetectThread(LyrDebugService* service, const char* devicePath);
    ~KmsgDetectThread() override;

    // Opens the device; a failure ends the thread silently.
    android::status_t readyToRun() override;
    // Also wakes the thread from a blocking read or a wait for room in the
    // channel, so it ends at once.
    void requestExit() override;

  private:
    static constexpr size_t kMaxRecord = 4095;

    bool threadLoop() override;

    LyrDebugService* mService;  // not owned
    const char* mDevicePath;
    android::UniqueFd mDevice;
    ExitEvent mExit;
    ReadBackoff mBackoff;
    KeyWordScan mScan;
    char mBuffer[kMaxRecord + 1] = {};
};

}  // namespace xel
}  // namespace ornak
