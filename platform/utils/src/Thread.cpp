#include <utils/Thread.h>

#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

namespace android {
namespace {

// The kernel keeps 15 bytes of a thread name plus the terminator.
constexpr size_t kMaxThreadName = 15;

struct StartArgs {
    Thread* thread;
    std::string name;
};

}  // namespace

Thread::Thread(bool /*canCallJava*/) {}

Thread::~Thread() = default;

status_t Thread::readyToRun() {
    return NO_ERROR;
}

status_t Thread::run(const char* name, int32_t /*priority*/, size_t stack) {
    // The object may go with its own reference when the start fails; it is
    // given up after the lock, which lives in the object.
    sp<Thread> heldSelf;
    Mutex::Autolock guard(mLock);
    if (mRunning) return INVALID_OPERATION;
    mExitPending = false;
    mRunning = true;
    mHoldSelf = this;

    auto* args = new StartArgs{this, name != nullptr ? name : ""};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (stack != 0) pthread_attr_setstacksize(&attr, stack);
    int err = pthread_create(&mThread, &attr, &Thread::entry, args);
    pthread_attr_destroy(&attr);
    if (err != 0) {
        delete args;
        mRunning = false;
        heldSelf = std::move(mHoldSelf);
        return UNKNOWN_ERROR;
    }
    return NO_ERROR;
}

void* Thread::entry(void* raw) {
    auto* args = static_cast<StartArgs*>(raw);
    Thread* self = args->thread;
    if (!args->name.empty()) {
        std::string cut = args->name.substr(0, kMaxThreadName);
        pthread_setname_np(pthread_self(), cut.c_str());
    }
    delete args;
    self->body();
    return nullptr;
}

void Thread::body() {
    {
        Mutex::Autolock guard(mLock);
        mTid = static_cast<pid_t>(syscall(SYS_gettid));
    }
    if (readyToRun() == NO_ERROR && !exitPending()) {
        while (threadLoop() && !exitPending()) {
        }
    }
    sp<Thread> last;
    {
        Mutex::Autolock guard(mLock);
        mRunning = false;
        mTid = -1;
        last = std::move(mHoldSelf);
        mEnded.broadcast();
    }
    // "last" may hold the final reference: the object can go here.
}

void Thread::requestExit() {
    Mutex::Autolock guard(mLock);
    mExitPending = true;
}

bool Thread::exitPending() const {
    Mutex::Autolock guard(mLock);
    return mExitPending;
}

status_t Thread::join() {
    Mutex::Autolock guard(mLock);
    if (mRunning && pthread_equal(mThread, pthread_self())) return INVALID_OPERATION;
    while (mRunning) mEnded.wait(mLock);
    return NO_ERROR;
}

status_t Thread::requestExitAndWait() {
    {
        Mutex::Autolock guard(mLock);
        if (mRunning && pthread_equal(mThread, pthread_self())) return INVALID_OPERATION;
    }
    // Through the virtual requestExit(), so that a subclass can wake its
    // thread from whatever it waits on.
    requestExit();
    return join();
}

bool Thread::isRunning() const {
    Mutex::Autolock guard(mLock);
    return mRunning;
}

pid_t Thread::getTid() const {
    Mutex::Autolock guard(mLock);
    return mTid;
}

}  // namespace android
