// A condition variable for Mutex. Timed waits run on the monotonic clock, so
// setting the wall clock neither cuts them short nor stretches them.
#pragma once

#include <pthread.h>

#include <utils/Errors.h>
#include <utils/Mutex.h>
#include <utils/Timers.h>

namespace android {

class Condition {
  public:
    Condition();
    ~Condition();
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;

    // Gives mutex back while waiting and holds it again on return, which
    // may come without a signal: callers test their condition in a loop.
    status_t wait(Mutex& mutex) REQUIRES(mutex);
    // The same, for at most reltime; TIMED_OUT when that passed.
    status_t waitRelative(Mutex& mutex, nsecs_t reltime) REQUIRES(mutex);
    void signal();
    void broadcast();

  private:
    pthread_cond_t mCond;
};

}  // namespace android
