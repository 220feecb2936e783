#define LOG_TAG "LyrDebugService"

#include "dump/LogGCThread.h"

#include <chrono>

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
    std::lock_guard<std::mutex> guard(mPauseLock);
    mPauseEnd.notify_all();
}

void LogGCThread::collectNow() {
    std::lock_guard<std::mutex> guard(mPauseLock);
    mCollectNow = true;
    mPauseEnd.notify_all();
}

bool LogGCThread::threadLoop() {
    ALOGD("LogGCThread: Start garbage collection");
    mService->removeOldDumps();
    ALOGD("LogGCThread: Finish garbage collection");

    std::unique_lock<std::mutex> guard(mPauseLock);
    mPauseEnd.wait_for(guard, std::chrono::seconds(mSleepSeconds),
                       [this] { return mCollectNow || exitPending(); });
    mCollectNow = false;
    return true;
}

}  // namespace xel
}  // namespace ornak
