#define LOG_TAG "LyrDebugService"

#include "detect/MonitorThread.h"

#include <pthread.h>
#include <stdint.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include <log/log.h>

#include "config/Monitor.h"
#include "detect/UeventChunk.h"
#include "detect/UeventSocket.h"

namespace ornak {
namespace xel {

MonitorThread::MonitorThread(LyrDebugService* service, EventSink sink)
    : android::Thread(true), mService(service), mSink(std::move(sink)) {}

MonitorThread::~MonitorThread() = default;

android::status_t MonitorThread::readyToRun() {
    // Distinct per thread and process without asking the kernel to choose.
    uint32_t portId = static_cast<uint32_t>(pthread_self()) | static_cast<uint32_t>(getpid());
    mUeventSocket = openUeventSocket(portId);
    if (!mUeventSocket.ok()) {
        endReading();
        return android::TIMED_OUT;
    }
    mPollSet[kUevent] = {mUeventSocket.get(), POLLIN, 0};
    mPollSet[kChannel] = {mService->mChannel[1].get(), POLLIN, 0};
    mPollSet[kExit] = {mExit.fd(), POLLIN, 0};
    return android::NO_ERROR;
}

// Writers stop waiting for a reader that will never read again.
void MonitorThread::endReading() {
    if (mService->mEventChannel.markReaderEnded()) {
        ALOGE("Monitor thread ended, events are no longer dumped");
    }
}

void MonitorThread::requestExit() {
    android::Thread::requestExit();
    mExit.signal();
}

bool MonitorThread::threadLoop() {
    for (struct pollfd& entry : mPollSet) entry.revents = 0;
    ::poll(mPollSet, kPollEntries, -1);
    if (mPollSet[kExit].revents != 0) return false;

    for (PollEntry entry : {kUevent, kChannel}) {
        // An error or hang-up is served too: the receive reports (and so
        // clears) it, where waiting again would return at once, forever.
        if ((mPollSet[entry].revents & (POLLIN | POLLERR | POLLHUP)) == 0) continue;
        mReceived = ::recvfrom(mPollSet[entry].fd, mBuffer, kReceiveSize, 0, nullptr, nullptr);
        if (mReceived == 0 && entry == kChannel) {
            ALOGE("error recv from monitor thread, %zd", mReceived);
            endReading();
            return false;
        }
        // An empty uevent datagram carries nothing; a failed receive either.
        if (mReceived <= 0) continue;
        dispatch(entry);
    }
    return true;
}

void MonitorThread::dispatch(PollEntry entry) {
    size_t count = static_cast<size_t>(mReceived);
    mBuffer[count] = '\0';
    if (entry == kUevent) {
        size_t names = dispatchUevent(mService->mMonitors, mBuffer, count, mSink);
        if (names > 0) mService->mStats.namesReceived(ServiceStats::kUevents, names);
    } else {
        mInternal.receive(mBuffer, count, mSink);
    }
}

}  // namespace xel
}  // namespace ornak
