// One client connection as the server loop sees it: its socket, who is at
// the other end, the service it reaches, and the bytes (with the requests'
// descriptors) on their way in and out. Requests are gathered from
// non-blocking reads and replies written without waiting, so no thread
// ever waits on the client: what the socket does not take at once is kept
// until it is writable again (one reply at most, since no further request
// is served before it is gone).
//
// Not thread-safe: the server loop hands a connection to one thread at a
// time.
#pragma once

#include <sys/socket.h>

#include <vector>

#include <binder/IBinder.h>
#include <binder/Parcel.h>
#include <utils/UniqueFd.h>

#include "FdBudget.h"
#include "Frame.h"
#include "RequestBuffer.h"

namespace android {
namespace host {

class Connection {
  public:
    // What the connection waits for next.
    enum class Next {
        kServe,   // a complete request is buffered
        kInput,   // the socket to be readable
        kOutput,  // the socket to take the rest of a reply
        kClose,   // nothing: the end of the stream, an error or a bad frame
    };

    // fd: a connected, non-blocking stream socket. budget: what the
    // descriptors received and not yet taken out count against; it
    // outlives the connection.
    Connection(UniqueFd fd, sp<IBinder> service, const ucred& peer, FdBudget* budget);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int fd() const { return mFd.get(); }
    const sp<IBinder>& service() const { return mService; }
    const ucred& peer() const { return mPeer; }
    // Part of a request frame has come, not all of it.
    bool midRequest() const { return mInput.state() == RequestBuffer::State::kPartial; }
    bool replyPending() const { return mSent < mPending.size(); }

    // Reads what the socket holds, stopping once a request is complete.
    Next receive();
    // Takes the complete request out; only after kServe.
    void takeRequest(RequestHeader* header, Parcel* data);
    // What to do once a request is answered: serve the next one if it is
    // already here.
    Next afterRequest() const;
    // Sends a reply frame, keeping what the socket does not take.
    Next reply(const ReplyHeader& header, const Parcel& body);
    // Sends more of a pending reply.
    Next sendPending();

  private:
    UniqueFd mFd;
    sp<IBinder> mService;
    ucred mPeer;
    FdBudget* mBudget;
    size_t mBudgeted = 0;  // descriptors in mInput, taken from mBudget
    RequestBuffer mInput;
    std::vector<uint8_t> mPending;  // the unsent end of a reply frame
    size_t mSent = 0;               // of mPending
};

}  // namespace host
}  // namespace android
