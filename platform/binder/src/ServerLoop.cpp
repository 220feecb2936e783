#define LOG_TAG "hostbinder"

#include "ServerLoop.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/epoll.h>

#include <thread>
#include <vector>

#include <binder/IPCThreadState.h>
#include <binder/Parcel.h>
#include <log/log.h>

#include "Frame.h"

namespace android {
namespace host {
namespace {

// Connections taken from a listener per wake-up, so that a flood of
// connects does not keep a thread from the other sockets.
constexpr int kAcceptBatch = 16;

constexpr std::chrono::milliseconds kAcceptPause{100};

constexpr uint32_t kArmedEvents = EPOLLIN | EPOLLRDHUP | EPOLLONESHOT;

}  // namespace

ServerLoop::ServerLoop() : mEpoll(epoll_create1(EPOLL_CLOEXEC)) {
    if (!mEpoll.ok()) {
        ALOGE("Binder server loop could not be created: %s", strerror(errno));
        abort();
    }
}

ServerLoop::~ServerLoop() = default;

status_t ServerLoop::add(std::unique_ptr<Source> source) {
    Source* raw = source.get();
    {
        std::lock_guard<std::mutex> guard(mLock);
        mSources.emplace(raw, std::move(source));
    }
    epoll_event event{};
    event.events = kArmedEvents;
    event.data.ptr = raw;
    if (epoll_ctl(mEpoll.get(), EPOLL_CTL_ADD, raw->fd.get(), &event) != 0) {
        status_t status = -errno;
        drop(raw);
        return status;
    }
    return NO_ERROR;
}

void ServerLoop::rearm(Source* source) {
    epoll_event event{};
    event.events = kArmedEvents;
    event.data.ptr = source;
    if (epoll_ctl(mEpoll.get(), EPOLL_CTL_MOD, source->fd.get(), &event) != 0) drop(source);
}

void ServerLoop::drop(Source* source) {
    epoll_ctl(mEpoll.get(), EPOLL_CTL_DEL, source->fd.get(), nullptr);
    std::unique_ptr<Source> owned;
    {
        std::lock_guard<std::mutex> guard(mLock);
        auto found = mSources.find(source);
        if (found == mSources.end()) return;
        owned = std::move(found->second);
        mSources.erase(found);
    }
    // The descriptor and the service reference go here, outside the lock.
}

status_t ServerLoop::addListener(UniqueFd listener, const sp<IBinder>& service) {
    auto source = std::make_unique<Source>();
    source->isListener = true;
    source->fd = std::move(listener);
    source->service = service;
    return add(std::move(source));
}

void ServerLoop::serveOne() {
    epoll_event event{};
    int ready = epoll_wait(mEpoll.get(), &event, 1, -1);
    if (ready != 1) return;  // EINTR
    auto* source = static_cast<Source*>(event.data.ptr);
    if (source->isListener) {
        acceptConnections(source);
        rearm(source);
    } else if (serveRequest(source)) {
        rearm(source);
    } else {
        drop(source);
    }
}

void ServerLoop::acceptConnections(Source* listener) {
    for (int i = 0; i < kAcceptBatch; ++i) {
        UniqueFd fd(accept4(listener->fd.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!fd.ok()) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            // Out of descriptors or memory: the pending connection keeps the
            // listener ready, so pause before it is armed again rather than
            // spin on it.
            if (errno != EAGAIN && errno != EWOULDBLOCK) std::this_thread::sleep_for(kAcceptPause);
            return;
        }
        auto connection = std::make_unique<Source>();
        socklen_t size = sizeof(connection->peer);
        if (getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &connection->peer, &size) != 0) {
            connection->peer = ucred{-1, static_cast<uid_t>(-1), static_cast<gid_t>(-1)};
        }
        connection->fd = std::move(fd);
        connection->service = listener->service;
        add(std::move(connection));
    }
}

bool ServerLoop::serveRequest(Source* connection) {
    const int fd = connection->fd.get();
    const Deadline deadline = Clock::now() + kFrameDeadline;

    uint8_t head[kRequestHeaderSize];
    RequestHeader header;
    if (readFully(fd, head, sizeof(head), deadline) != IoResult::kOk ||
        !decodeRequestHeader(head, &header)) {
        return false;
    }
    std::vector<uint8_t> body(header.dataSize);
    if (readFully(fd, body.data(), body.size(), deadline) != IoResult::kOk) return false;

    Parcel data;
    data.setData(body.data(), body.size());
    body.clear();
    Parcel reply;
    IPCThreadState* state = IPCThreadState::self();
    state->mServing = true;
    state->mCallingPid = connection->peer.pid;
    state->mCallingUid = connection->peer.uid;
    status_t status = connection->service->transact(header.code, data, &reply, header.flags);
    state->mServing = false;
    if ((header.flags & IBinder::FLAG_ONEWAY) != 0) return true;

    ReplyHeader answer{status, static_cast<uint32_t>(reply.dataSize())};
    if (reply.dataSize() > kMaxFrameSize - kReplyHeaderSize) {
        answer = ReplyHeader{FAILED_TRANSACTION, 0};
    }
    uint8_t replyHead[kReplyHeaderSize];
    encodeReplyHeader(answer, replyHead);
    return sendFrame(fd, replyHead, sizeof(replyHead), reply.data(), answer.dataSize,
                     Clock::now() + kFrameDeadline) == IoResult::kOk;
}

}  // namespace host
}  // namespace android
