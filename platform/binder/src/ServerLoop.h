// The loop that serves every published service of the process.
//
// One epoll set holds the listening sockets and every open connection, each
// registered one-shot: a ready socket is handed to exactly one thread, which
// serves it and then arms it again. Every pool thread runs serveOne() over
// the same set, so transactions on different connections run at the same
// time, a slow transaction holds only its own thread, and an idle
// connection holds none. Requests on one connection run in order.
//
// A connection is closed on a malformed or oversized frame, on a frame that
// does not arrive in full within kFrameDeadline of becoming readable, and on
// a reply the client does not take within kFrameDeadline; so a client holds
// a thread only that long and never brings the process down.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <binder/IBinder.h>
#include <utils/UniqueFd.h>

namespace android {
namespace host {

constexpr std::chrono::seconds kFrameDeadline{2};

class ServerLoop {
  public:
    ServerLoop();
    ~ServerLoop();
    ServerLoop(const ServerLoop&) = delete;
    ServerLoop& operator=(const ServerLoop&) = delete;

    // Serves service on every connection accepted by listener.
    status_t addListener(UniqueFd listener, const sp<IBinder>& service);

    // Waits for one ready socket and serves it.
    void serveOne();

  private:
    struct Source {
        bool isListener = false;
        UniqueFd fd;
        sp<IBinder> service;
        ucred peer{};  // connections only
    };

    status_t add(std::unique_ptr<Source> source);
    void rearm(Source* source);
    void drop(Source* source);
    void acceptConnections(Source* listener);
    // False when the connection is to be closed.
    bool serveRequest(Source* connection);

    UniqueFd mEpoll;
    std::mutex mLock;
    // Owns every registered source; a source handed to a thread by epoll is
    // touched only by that thread until it is armed again or dropped.
    std::unordered_map<Source*, std::unique_ptr<Source>> mSources;  // guarded by mLock
};

}  // namespace host
}  // namespace android
