// A plain (non-recursive) pthread mutex that clang's thread-safety analysis
// knows as a lock, and its scoped holder.
#pragma once

#include <pthread.h>

#include <android-base/thread_annotations.h>
#include <utils/Errors.h>

namespace android {

class Condition;

// Constant-initialised, and never destroyed (a mutex of default attributes
// holds no resources), so that a global one is usable from the first
// static initialiser to the last thread that runs while the process exits.
class CAPABILITY("mutex") Mutex {
  public:
    constexpr Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    status_t lock() ACQUIRE();
    void unlock() RELEASE();
    // NO_ERROR when the lock was free and is now held.
    status_t tryLock() TRY_ACQUIRE(NO_ERROR);

    // Holds a mutex for one scope.
    class SCOPED_CAPABILITY Autolock {
      public:
        explicit Autolock(Mutex& mutex) ACQUIRE(mutex) : mMutex(mutex) { mMutex.lock(); }
        ~Autolock() RELEASE() { mMutex.unlock(); }
        Autolock(const Autolock&) = delete;
        Autolock& operator=(const Autolock&) = delete;

      private:
        Mutex& mMutex;
    };

  private:
    friend class Condition;
    pthread_mutex_t mMutex = PTHREAD_MUTEX_INITIALIZER;
};

}  // namespace android
