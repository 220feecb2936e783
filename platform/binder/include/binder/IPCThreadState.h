// The binder state of one thread: the caller of the transaction it is
// serving, and the loop that serves transactions on it.
#pragma once

#include <sys/types.h>

namespace android {

namespace host {
class ServerLoop;
}

class IPCThreadState {
  public:
    static IPCThreadState* self();

    // The process and user of the client whose transaction this thread is
    // running, from the connection's peer credentials; the own process and
    // user outside a transaction.
    pid_t getCallingPid() const;
    uid_t getCallingUid() const;

    // Serves transactions of every published service on this thread; does
    // not return.
    void joinThreadPool(bool isMain = true);

  private:
    friend class host::ServerLoop;

    IPCThreadState() = default;
    IPCThreadState(const IPCThreadState&) = delete;
    IPCThreadState& operator=(const IPCThreadState&) = delete;

    // Written by the server loop around each transaction it runs here.
    bool mServing = false;
    pid_t mCallingPid = 0;
    uid_t mCallingUid = 0;
};

}  // namespace android
