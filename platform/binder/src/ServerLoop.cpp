#define LOG_TAG "hostbinder"

#include "ServerLoop.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/epoll.h>
#include <sys/socket.h>

#include <thread>

#include <binder/IPCThreadState.h>
#include <binder/Parcel.h>
#include <log/log.h>

namespace android {
namespace host {
namespace {

// What an epoll event is for: the low bits of its tag; the rest is the
// listener's index or the connection's key.
enum Kind : uint64_t { kTimerEvent = 0, kListenerEvent = 1, kConnectionEvent = 2 };
constexpr int kKindBits = 2;
constexpr uint64_t kKindMask = (1u << kKindBits) - 1;

uint64_t tag(Kind kind, uint64_t id) {
    return id << kKindBits | kind;
}

// Connections taken from a listener per wake-up, so that a flood of
// connects does not keep a thread from the other sockets.
constexpr int kAcceptBatch = 16;

constexpr std::chrono::milliseconds kAcceptPause{100};

}  // namespace

ServerLoop::ServerLoop() : mEpoll(epoll_create1(EPOLL_CLOEXEC)) {
    if (!mEpoll.ok() || !arm(EPOLL_CTL_ADD, mTimer.fd(), EPOLLIN, tag(kTimerEvent, 0))) {
        ALOGE("Binder server loop could not be created: %s", strerror(errno));
        abort();
    }
}

ServerLoop::~ServerLoop() = default;

bool ServerLoop::arm(int op, int fd, uint32_t events, uint64_t tag) {
    epoll_event event{};
    event.events = events | EPOLLONESHOT;
    event.data.u64 = tag;
    return epoll_ctl(mEpoll.get(), op, fd, &event) == 0;
}

status_t ServerLoop::addListener(UniqueFd listener, const sp<IBinder>& service) {
    Mutex::Autolock guard(mLock);
    const int fd = listener.get();
    mListeners.push_back(std::make_unique<Listener>(Listener{std::move(listener), service}));
    if (arm(EPOLL_CTL_ADD, fd, EPOLLIN, tag(kListenerEvent, mListeners.size() - 1))) {
        return NO_ERROR;
    }
    status_t status = -errno;
    mListeners.pop_back();
    return status;
}

void ServerLoop::serveOne() {
    epoll_event event{};
    if (epoll_wait(mEpoll.get(), &event, 1, -1) != 1) return;  // EINTR
    const uint64_t id = event.data.u64 >> kKindBits;
    switch (event.data.u64 & kKindMask) {
        case kTimerEvent:
            onTimer();
            break;
        case kListenerEvent:
            acceptFrom(id);
            break;
        default:
            handle(id);
            break;
    }
}

void ServerLoop::acceptFrom(uint64_t index) {
    Listener* listener;
    {
        Mutex::Autolock guard(mLock);
        listener = mListeners[index].get();  // listeners live as long as the loop
    }
    for (int i = 0; i < kAcceptBatch; ++i) {
        UniqueFd fd(accept4(listener->fd.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!fd.ok()) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            // Out of descriptors or memory: the pending connection keeps the
            // listener ready, so pause before it is armed again rather than
            // spin on it.
            if (errno != EAGAIN && errno != EWOULDBLOCK) std::this_thread::sleep_for(kAcceptPause);
            break;
        }
        ucred peer{};
        socklen_t size = sizeof(peer);
        if (getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
            peer = ucred{-1, static_cast<uid_t>(-1), static_cast<gid_t>(-1)};
        }
        admit(std::make_unique<Connection>(std::move(fd), listener->service, peer, &mFdBudget));
    }
    arm(EPOLL_CTL_MOD, listener->fd.get(), EPOLLIN, tag(kListenerEvent, index));
}

void ServerLoop::admit(std::unique_ptr<Connection> connection) {
    Mutex::Autolock guard(mLock);
    if (mConnections.size() >= kConnectionLimit) {
        uint64_t victim = mConnections.evictionCandidate();
        if (victim == 0) return;  // all are being served: the newcomer goes
        // Closed before the newcomer can be served, so that its client never
        // sees an answer before the room was made.
        mConnections.remove(victim);
        mEvictions.add(Clock::now());
        mTimer.fireBy(*mEvictions.dueAt());
    }
    const int fd = connection->fd();
    const uint64_t key = mConnections.add(std::move(connection));
    if (!arm(EPOLL_CTL_ADD, fd, EPOLLIN, tag(kConnectionEvent, key))) {
        connection = mConnections.remove(key);
    }
}

void ServerLoop::handle(uint64_t key) {
    Connection* connection;
    {
        Mutex::Autolock guard(mLock);
        connection = mConnections.claim(key);
    }
    if (connection == nullptr) return;  // closed after it became ready
    Connection::Next next =
            connection->replyPending() ? connection->sendPending() : connection->receive();
    bool served = false;
    for (; next == Connection::Next::kServe; served = true) next = serve(connection);
    settle(key, connection, next, served);
}

Connection::Next ServerLoop::serve(Connection* connection) {
    RequestHeader header;
    Parcel data;
    connection->takeRequest(&header, &data);
    Parcel reply;
    IPCThreadState* state = IPCThreadState::self();
    state->mServing = true;
    state->mCallingPid = connection->peer().pid;
    state->mCallingUid = connection->peer().uid;
    status_t status = connection->service()->transact(header.code, data, &reply, header.flags);
    state->mServing = false;
    // The request's descriptors close before the reply goes, so a client
    // holding the other end of a pipe it lent sees its end once answered.
    data.freeData();
    if ((header.flags & IBinder::FLAG_ONEWAY) != 0) return connection->afterRequest();

    ReplyHeader answer{status, static_cast<uint32_t>(reply.dataSize())};
    if (reply.dataSize() > kMaxFrameSize - kReplyHeaderSize) {
        answer = ReplyHeader{FAILED_TRANSACTION, 0};
    }
    return connection->reply(answer, reply);
}

void ServerLoop::settle(uint64_t key, Connection* connection, Connection::Next next, bool served) {
    using State = ConnectionTable::State;
    std::unique_ptr<Connection> closing;  // closed once the lock is let go
    Mutex::Autolock guard(mLock);
    if (next != Connection::Next::kClose) {
        const bool output = next == Connection::Next::kOutput;
        State state = output                     ? State::kReplyPending
                      : connection->midRequest() ? State::kMidRequest
                                                 : State::kIdle;
        std::optional<Clock::time_point> deadline = mConnections.release(key, state, served);
        if (deadline) mTimer.fireBy(*deadline);
        // Armed under the lock: once released, another thread may close it.
        if (arm(EPOLL_CTL_MOD, connection->fd(), output ? EPOLLOUT : EPOLLIN,
                tag(kConnectionEvent, key))) {
            return;
        }
    }
    closing = mConnections.remove(key);
}

void ServerLoop::onTimer() {
    std::vector<std::unique_ptr<Connection>> closing;  // closed once the lock is let go
    int evicted = 0;
    {
        Mutex::Autolock guard(mLock);
        mTimer.consume();
        const Clock::time_point now = Clock::now();
        for (uint64_t key : mConnections.overdue(now)) closing.push_back(mConnections.remove(key));
        evicted = mEvictions.takeDue(now);
        for (auto due : {mConnections.nextDeadline(), mEvictions.dueAt()}) {
            if (due) mTimer.fireBy(*due);
        }
        arm(EPOLL_CTL_MOD, mTimer.fd(), EPOLLIN, tag(kTimerEvent, 0));
    }
    if (evicted > 0) {
        ALOGW("Closed %d idle binder connections at the limit of %d", evicted,
              static_cast<int>(kConnectionLimit));
    }
}

}  // namespace host
}  // namespace android
