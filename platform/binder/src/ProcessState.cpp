#include <binder/IPCThreadState.h>
#include <binder/ProcessState.h>

#include <unistd.h>

#include <string>

#include "ServerLoop.h"

namespace android {
namespace {

constexpr int kPoolThreads = 3;

// A pool thread serves until the process ends.
class PoolThread : public Thread {
  public:
    PoolThread() : Thread(false) {}

  private:
    bool threadLoop() override {
        IPCThreadState::self()->joinThreadPool(false);
        return false;
    }
};

}  // namespace

sp<ProcessState> ProcessState::self() {
    // Never destroyed: pool threads use it until the process is gone.
    static sp<ProcessState>* process = new sp<ProcessState>(new ProcessState());
    return *process;
}

ProcessState::ProcessState() : mServer(std::make_unique<host::ServerLoop>()) {}

ProcessState::~ProcessState() = default;

void ProcessState::startThreadPool() {
    Mutex::Autolock guard(mLock);
    if (mPoolStarted) return;
    mPoolStarted = true;
    for (int n = 1; n <= kPoolThreads; ++n) {
        sp<Thread> thread = new PoolThread();
        std::string name = "binder:" + std::to_string(getpid()) + "_" + std::to_string(n);
        thread->run(name.c_str());
        mPoolThreads.add(thread);
    }
}

IPCThreadState* IPCThreadState::self() {
    thread_local IPCThreadState state;
    return &state;
}

pid_t IPCThreadState::getCallingPid() const {
    return mServing ? mCallingPid : getpid();
}

uid_t IPCThreadState::getCallingUid() const {
    return mServing ? mCallingUid : getuid();
}

void IPCThreadState::joinThreadPool(bool /*isMain*/) {
    sp<ProcessState> process = ProcessState::self();
    for (;;) process->serverLoop().serveOne();
}

}  // namespace android
