#include "detect/KmsgDetectThread.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "detect/KeyWordMatcher.h"

namespace ornak {
namespace xel {

KmsgDetectThread::KmsgDetectThread(LyrDebugService* service)
    : KmsgDetectThread(service, kDevicePath) {}

KmsgDetectThread::KmsgDetectThread(LyrDebugService* service, const char* devicePath)
    : android::Thread(true),
      mService(service),
      mDevicePath(devicePath),
      mScan(keyWordIndexOf(*service)) {}

KmsgDetectThread::~KmsgDetectThread() = default;

android::status_t KmsgDetectThread::readyToRun() {
    mDevice.reset(::open(mDevicePath, O_RDONLY | O_CLOEXEC));
    return mDevice.ok() ? android::NO_ERROR : android::UNKNOWN_ERROR;
}

void KmsgDetectThread::requestExit() {
    android::Thread::requestExit();
    mExit.signal();
    mBackoff.cancel();
}

bool KmsgDetectThread::threadLoop() {
    // The device is read blocking, one record per read; the wait happens in
    // poll so that an exit request can end it.
    struct pollfd waitSet[2] = {{mDevice.get(), POLLIN, 0}, {mExit.fd(), POLLIN, 0}};
    ::poll(waitSet, 2, -1);
    if (waitSet[1].revents != 0) return false;
    if (waitSet[0].revents == 0) return true;

    // Records overwritten before they were read make the read fail once
    // (EPIPE); a device that keeps failing is retried ever more slowly.
    ssize_t count = ::read(mDevice.get(), mBuffer, kMaxRecord);
    if (count < 1) {
        mBackoff.readFailed();
        return true;
    }
    mBackoff.readSucceeded();
    mBuffer[count] = '\0';
    size_t sent = sendKeyWordEvents(mScan, mService->mEventChannel, mBuffer, mExit.fd());
    if (sent > 0) mService->mStats.namesReceived(ServiceStats::kKmsg, sent);
    return true;
}

}  // namespace xel
}  // namespace ornak
