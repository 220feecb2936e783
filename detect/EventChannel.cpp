#define LOG_TAG "LyrDebugService"

#include "detect/EventChannel.h"

#include <errno.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <chrono>
#include <string>

#include <log/log.h>

namespace ornak {
namespace xel {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline, rounded up so that a wait never ends
// before it; 0 once the deadline has passed.
int millisecondsUntil(Clock::time_point deadline) {
    auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

// Writes bytes to fd until all are written, an error occurs or the deadline
// passes; returns how many were written. Non-blocking sends plus poll keep
// the whole message inside the writer's one deadline, however many sends a
// full channel forces.
size_t sendUntil(int fd, const std::string& bytes, Clock::time_point deadline) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n =
                ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) break;
        int waitMs = millisecondsUntil(deadline);
        if (waitMs == 0) break;
        struct pollfd writable = {fd, POLLOUT, 0};
        if (::poll(&writable, 1, waitMs) < 0 && errno != EINTR) break;
    }
    return sent;
}

}  // namespace

void EventChannel::attach(int fd) {
    mFd = fd;
    // A guard for any blocking write on this end; send() itself never waits
    // past its own deadline.
    struct timeval timeout = {kSendTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
}

bool EventChannel::send(const char* name) {
    size_t length = strlen(name);
    if (length == 0) return true;

    auto deadline = Clock::now() + std::chrono::seconds(kSendTimeoutSeconds);
    std::unique_lock<std::timed_mutex> guard(mLock, deadline);
    if (!guard.owns_lock()) {
        ALOGE("Failed to write event %s to channel", name);
        return false;
    }

    std::string message;
    message.reserve(length + 2);
    size_t lead = mFragmentPending ? 1 : 0;
    if (lead != 0) message.push_back('\n');
    message.append(name, length);
    message.push_back('\n');

    size_t sent = sendUntil(mFd, message, deadline);
    if (sent == message.size()) {
        mFragmentPending = false;
        return true;
    }
    // When part of the name went out, the channel now ends in the middle of
    // it and the next message has to close it first. When nothing went out,
    // an older fragment may still be waiting for its line feed.
    if (sent > 0) mFragmentPending = sent > lead;
    ALOGE("Failed to write event %s to channel", name);
    return false;
}

}  // namespace xel
}  // namespace ornak
