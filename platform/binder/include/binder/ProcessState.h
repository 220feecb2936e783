// The binder state of the process: the one server loop that every pool
// thread runs, and the pool itself. startThreadPool() starts the pool
// threads once; a thread that calls IPCThreadState::joinThreadPool() serves
// beside them.
#pragma once

#include <memory>

#include <utils/Mutex.h>
#include <utils/RefBase.h>
#include <utils/Thread.h>
#include <utils/Vector.h>

namespace android {

namespace host {
class ServerLoop;
}

class ProcessState : public virtual RefBase {
  public:
    static sp<ProcessState> self();

    // Starts the pool threads ("binder:<pid>_<n>"); later calls do nothing.
    void startThreadPool();

    // The loop serving every published service of the process.
    host::ServerLoop& serverLoop() { return *mServer; }

  private:
    ProcessState();
    ~ProcessState() override;

    std::unique_ptr<host::ServerLoop> mServer;
    Mutex mLock;
    bool mPoolStarted GUARDED_BY(mLock) = false;
    Vector<sp<Thread>> mPoolThreads GUARDED_BY(mLock);  // they never end
};

}  // namespace android
