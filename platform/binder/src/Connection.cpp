#include "Connection.h"

#include <errno.h>
#include <sys/uio.h>

#include "ParcelFds.h"
#include "SocketFds.h"

namespace android {
namespace host {
namespace {

bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

}  // namespace

Connection::Connection(UniqueFd fd, sp<IBinder> service, const ucred& peer, FdBudget* budget)
    : mFd(std::move(fd)), mService(std::move(service)), mPeer(peer), mBudget(budget) {}

Connection::~Connection() {
    mBudget->give(mBudgeted);
}

Connection::Next Connection::receive() {
    for (;;) {
        Next next = afterRequest();
        if (next != Next::kInput) return next;
        size_t room = 0;
        uint8_t* space = mInput.space(&room);
        std::vector<UniqueFd> fds;
        ssize_t got = receiveWithFds(mFd.get(), space, room, &fds);
        if (got > 0) {
            if (!fds.empty() && !mBudget->take(fds.size())) return Next::kClose;
            mBudgeted += fds.size();
            mInput.commit(static_cast<size_t>(got));
            mInput.addFds(std::move(fds));
        } else if (got == 0) {
            return Next::kClose;
        } else if (errno != EINTR) {
            return wouldBlock() ? Next::kInput : Next::kClose;
        }
    }
}

void Connection::takeRequest(RequestHeader* header, Parcel* data) {
    mInput.take(header, data);
    // The parcel's descriptors close once the call has run, so a pool
    // thread holds them only while it serves.
    const size_t handed = ParcelFds::of(*data).size();
    mBudget->give(handed);
    mBudgeted -= handed;
}

Connection::Next Connection::afterRequest() const {
    switch (mInput.state()) {
        case RequestBuffer::State::kComplete:
            return Next::kServe;
        case RequestBuffer::State::kMalformed:
            return Next::kClose;
        default:
            return Next::kInput;
    }
}

Connection::Next Connection::reply(const ReplyHeader& header, const Parcel& body) {
    uint8_t head[kReplyHeaderSize];
    encodeReplyHeader(header, head);
    const uint8_t* data = body.data();
    iovec parts[2] = {{head, sizeof(head)}, {const_cast<uint8_t*>(data), header.dataSize}};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = header.dataSize == 0 ? 1 : 2;
    ssize_t sent;
    do {
        sent = sendmsg(mFd.get(), &message, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0 && !wouldBlock()) return Next::kClose;
    const size_t done = sent < 0 ? 0 : static_cast<size_t>(sent);
    if (done == sizeof(head) + header.dataSize) return afterRequest();

    mPending.clear();
    if (done < sizeof(head)) mPending.assign(head + done, head + sizeof(head));
    size_t bodyDone = done < sizeof(head) ? 0 : done - sizeof(head);
    if (bodyDone < header.dataSize) {
        mPending.insert(mPending.end(), data + bodyDone, data + header.dataSize);
    }
    mSent = 0;
    return Next::kOutput;
}

Connection::Next Connection::sendPending() {
    while (replyPending()) {
        ssize_t sent = send(mFd.get(), &mPending[mSent], mPending.size() - mSent,
                            MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            mSent += static_cast<size_t>(sent);
        } else if (sent < 0 && errno != EINTR) {
            return wouldBlock() ? Next::kOutput : Next::kClose;
        }
    }
    // A reply may be up to a frame long; an idle connection keeps none of it.
    std::vector<uint8_t>().swap(mPending);
    mSent = 0;
    return afterRequest();
}

}  // namespace host
}  // namespace android
