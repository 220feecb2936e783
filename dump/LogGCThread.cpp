#define LOG_TAG "LyrDebugService"

#include "dump/LogGCThread.h"

#include <log/log.h>

namespace ornak {
namespace xel {

LogGCThread::LogGCThread(LyrDebugService* service, uint32_t sleepSeconds)
    : android::Thread(true), mService(service), mSleepSeconds(sleepSeconds) {}

LogGCThread::~LogGCThread() = default;

void LogGCThread::requestExit() {
    android::Thread::requestExit();
    // Taking the pause lock orders this wake-up after the loop's last look
    // at exitPending(), so it cannot be lost.
    android::Mutex::Autolock guard(mPauseLock);
    mPauseEnd.broadcast();
}

void LogGCThread::collectNow() {
    android::Mutex::Autolock guard(mPauseLock);
    mCollectNow = true;
    mPauseEnd.broadcast();
}

bool LogGCThread::threadLoop() {
    ALOGD("LogGCThread: Start garbage collection");
    mService->removeOldDumps();
    ALOGD("LogGCThread: Finish garbage collection");

    const android::nsecs_t until =
            android::systemTime() + android::seconds_to_nanoseconds(mSleepSeconds);
    android::Mutex::Autolock guard(mPauseLock);
    while (!mCollectNow && !exitPending()) {
        android::nsecs_t left = until - android::systemTime();
        if (left <= 0) break;
        mPauseEnd.waitRelative(mPauseLock, left);
    }
    mCollectNow = false;
    return true;
}

}  // namespace xel
}  // namespace ornak
