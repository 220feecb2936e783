// A thread object: run() starts it, readyToRun() runs once on the new
// thread, then threadLoop() runs again and again while it returns true and
// no exit has been requested. A running thread keeps itself alive, so the
// last outside reference may go while it runs.
#pragma once

#include <pthread.h>
#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#include <utils/Condition.h>
#include <utils/Errors.h>
#include <utils/Mutex.h>
#include <utils/RefBase.h>

namespace android {

enum { PRIORITY_DEFAULT = 0 };

class Thread : virtual public RefBase {
  public:
    explicit Thread(bool canCallJava = true);
    virtual ~Thread();

    // Starts the thread. name is cut to what the kernel keeps (15 bytes).
    virtual status_t run(const char* name = nullptr, int32_t priority = PRIORITY_DEFAULT,
                         size_t stack = 0);
    // Asks the loop to end after the current pass; does not wait.
    virtual void requestExit();
    virtual status_t readyToRun();

    // requestExit() and join(); INVALID_OPERATION from the thread itself.
    status_t requestExitAndWait();
    // Waits until the thread has ended; INVALID_OPERATION from the thread itself.
    status_t join();
    bool isRunning() const;
    pid_t getTid() const;

  protected:
    bool exitPending() const;

  private:
    virtual bool threadLoop() = 0;
    static void* entry(void* self);
    void body();

    mutable Mutex mLock;
    Condition mEnded;
    bool mRunning GUARDED_BY(mLock) = false;
    bool mExitPending GUARDED_BY(mLock) = false;
    pthread_t mThread GUARDED_BY(mLock){};
    pid_t mTid GUARDED_BY(mLock) = -1;
    sp<Thread> mHoldSelf GUARDED_BY(mLock);
};

}  // namespace android
