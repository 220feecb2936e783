#define LOG_TAG "LyrDebugService"

#include "detect/EventChannel.h"

#include <errno.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <string>

#include <log/log.h>

namespace ornak {
namespace xel {
namespace {

// Milliseconds left until deadline, rounded up so that a wait never ends
// before it; 0 once it has passed, -1 (no limit) without one.
template <typename Deadline>
int millisecondsUntil(const Deadline& deadline) {
    if (!deadline) return -1;
    auto left = *deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

// Forcing goes past the system's limit, which a daemon running as root may
// do; otherwise the limit caps the size.
void enlargeSendBuffer(int fd, int bytes) {
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &bytes, sizeof(bytes)) == 0) return;
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof(bytes)) != 0) {
        ALOGW("Failed to enlarge the event channel, %d", errno);
    }
}

}  // namespace

void EventChannel::attach(int fd) {
    mFd = fd;
    enlargeSendBuffer(fd, kBufferBytes);
    // A guard for any blocking write on this end; writers here never block.
    struct timeval timeout = {kSendTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
}

bool EventChannel::send(const char* name) {
    auto deadline = Clock::now() + std::chrono::seconds(kSendTimeoutSeconds);
    if (deliver(name, deadline, -1) == Outcome::kSent) return true;
    ALOGE("Failed to write event %s to channel", name);
    return false;
}

EventChannel::Outcome EventChannel::sendWhileReaderLives(const char* name, int cancelFd) {
    Outcome outcome = deliver(name, std::nullopt, cancelFd);
    if (outcome == Outcome::kFailed) ALOGE("Failed to write event %s to channel", name);
    return outcome;
}

bool EventChannel::markReaderEnded() {
    if (mReaderEnded.exchange(true)) return false;
    mReaderGone.signal();
    return true;
}

EventChannel::Outcome EventChannel::waitForRoom(Deadline deadline, int cancelFd) const {
    struct pollfd waitSet[3] = {
            {mFd, POLLOUT, 0}, {mReaderGone.fd(), POLLIN, 0}, {cancelFd, POLLIN, 0}};
    for (;;) {
        int waitMs = millisecondsUntil(deadline);
        if (waitMs == 0) return Outcome::kTimedOut;
        int ready = ::poll(waitSet, cancelFd >= 0 ? 3 : 2, waitMs);
        if (ready < 0 && errno != EINTR) return Outcome::kFailed;
        if (ready <= 0) continue;
        if (waitSet[1].revents != 0) return Outcome::kNoReader;
        if (cancelFd >= 0 && waitSet[2].revents != 0) return Outcome::kCancelled;
        // An error or hang-up shows in the next send.
        return Outcome::kSent;
    }
}

// Every send is non-blocking, and the lock is held only for a try.
EventChannel::Outcome EventChannel::deliver(const char* name, Deadline deadline, int cancelFd) {
    size_t length = strlen(name);
    if (length == 0) return Outcome::kSent;
    for (;;) {
        if (mReaderEnded.load()) return Outcome::kNoReader;
        std::optional<Outcome> sent = sendOnce(name, length, deadline, cancelFd);
        if (sent) return *sent;
        Outcome room = waitForRoom(deadline, cancelFd);
        if (room != Outcome::kSent) return room;
    }
}

std::optional<EventChannel::Outcome> EventChannel::sendOnce(const char* name, size_t length,
                                                            Deadline deadline, int cancelFd) {
    android::Mutex::Autolock guard(mLock);
    const size_t lead = mFragmentPending ? 1 : 0;
    std::string message(lead, '\n');
    message.append(name, length).push_back('\n');
    size_t sent = 0;
    for (;;) {
        ssize_t n = ::send(mFd, message.data() + sent, message.size() - sent,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            if (sent < message.size()) continue;
            mFragmentPending = false;
            return Outcome::kSent;
        }
        if (n < 0 && errno == EINTR) continue;
        bool full = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        if (full && sent == 0) return std::nullopt;
        // Once part of the message is out, its rest must follow before
        // anyone else writes: the wait for room keeps the lock.
        if (!full || waitForRoom(deadline, cancelFd) != Outcome::kSent) break;
    }
    // Part of the name went out: the channel now ends in the middle of it
    // and the next message has to close it first. With nothing out, an
    // older fragment may still be waiting for its line feed.
    if (sent > 0) mFragmentPending = sent > lead;
    return Outcome::kFailed;
}

}  // namespace xel
}  // namespace ornak
