// The loop that serves every published service of the process.
//
// One epoll set holds the listening sockets, every open connection and a
// timer, each registered one-shot. Every pool thread waits on the set and
// the kernel wakes one of them per ready socket: the thread that sees a
// request complete serves it itself, with no hand-off to another thread,
// while the others go on waiting. Requests are gathered with non-blocking
// reads and replies written without waiting, so a thread works for a
// client only while it has a whole request to serve: an idle or stalled
// connection holds no thread, transactions on different connections run
// at the same time, and requests on one connection run in order.
//
// Against clients that would exhaust the process: at most kConnectionLimit
// connections are kept, a newcomer closing the one idle longest (logged
// once per burst); a connection that stays mid-request, or leaves a reply
// untaken, for kStallLimit is closed; a malformed or oversized frame
// closes its connection, as do descriptors past what requests being
// gathered may hold together (FdBudget). None of these touches any other
// connection.
#pragma once

#include <stdint.h>

#include <memory>
#include <vector>

#include <binder/IBinder.h>
#include <utils/Mutex.h>
#include <utils/UniqueFd.h>

#include "Connection.h"
#include "ConnectionTable.h"
#include "EvictionLog.h"
#include "FdBudget.h"
#include "WakeTimer.h"

namespace android {
namespace host {

class ServerLoop {
  public:
    ServerLoop();
    ~ServerLoop();
    ServerLoop(const ServerLoop&) = delete;
    ServerLoop& operator=(const ServerLoop&) = delete;

    // Serves service on every connection accepted by listener.
    status_t addListener(UniqueFd listener, const sp<IBinder>& service);

    // Waits for one ready socket and handles it.
    void serveOne();

  private:
    struct Listener {
        UniqueFd fd;
        sp<IBinder> service;
    };

    bool arm(int op, int fd, uint32_t events, uint64_t tag);
    void acceptFrom(uint64_t index);
    // Adds a new connection, making room at the limit.
    void admit(std::unique_ptr<Connection> connection);
    // Reads, serves and writes a ready connection.
    void handle(uint64_t key);
    Connection::Next serve(Connection* connection);
    // Hands a connection handled by this thread back to the loop.
    void settle(uint64_t key, Connection* connection, Connection::Next next, bool served);
    // Closes the connections past their deadline and logs evictions due.
    void onTimer();

    UniqueFd mEpoll;
    FdBudget mFdBudget;  // outlives the connections, which draw on it
    Mutex mLock;
    WakeTimer mTimer GUARDED_BY(mLock);
    std::vector<std::unique_ptr<Listener>> mListeners GUARDED_BY(mLock);  // only grows
    ConnectionTable mConnections GUARDED_BY(mLock);
    EvictionLog mEvictions GUARDED_BY(mLock);
};

}  // namespace host
}  // namespace android
