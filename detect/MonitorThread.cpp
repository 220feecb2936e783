#define LOG_TAG "LyrDebugService"

#include "detect/MonitorThread.h"

#include <errno.h>
#include <linux/netlink.h>
#include <pthread.h>
#include <stdint.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include <log/log.h>

#include "config/Monitor.h"
#include "detect/UeventChunk.h"

namespace ornak {
namespace xel {
namespace {

// The kernel never takes more than this from the uevent socket's queue for
// us; a burst that does not fit is dropped by the kernel, not by the daemon.
constexpr int kUeventReceiveBuffer = 256;
// The address length the uevent socket is bound with: family, pad, port id
// and groups, without any tail padding.
constexpr socklen_t kNetlinkAddressLength = 12;

}  // namespace

MonitorThread::MonitorThread(LyrDebugService* service)
    : android::Thread(true),
      mService(service),
      mSink([service](const char* name) { service->dumpEvent(name); }) {}

MonitorThread::~MonitorThread() = default;

android::status_t MonitorThread::readyToRun() {
    struct sockaddr_nl address = {};
    address.nl_family = AF_NETLINK;
    address.nl_pad = 0;
    // Distinct per thread and process without asking the kernel to choose.
    address.nl_pid = static_cast<uint32_t>(pthread_self()) | static_cast<uint32_t>(getpid());
    address.nl_groups = 0xFFFFFFFFu;

    int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    if (fd < 0) {
        ALOGE("failed to create uevent socket, %d", errno);
        return android::TIMED_OUT;
    }
    mUeventSocket.reset(fd);

    int size = kUeventReceiveBuffer;
    int result = ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof(size));
    if (result != 0) ALOGW("setsockopt failed: %d", result);

    if (::bind(fd, reinterpret_cast<struct sockaddr*>(&address), kNetlinkAddressLength) != 0) {
        int error = errno;
        ALOGE("failed to bind uevent socket, %d", error);
        mUeventSocket.reset();
        return android::TIMED_OUT;
    }

    mPollSet[kUevent] = {mUeventSocket.get(), POLLIN, 0};
    mPollSet[kChannel] = {mService->mChannel[1].get(), POLLIN, 0};
    mPollSet[kExit] = {mExit.fd(), POLLIN, 0};
    return android::NO_ERROR;
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
        dispatchUevent(mService->mMonitors, mBuffer, count, mSink);
    } else {
        mInternal.receive(mBuffer, count, mSink);
    }
}

}  // namespace xel
}  // namespace ornak
