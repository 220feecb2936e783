#include <utils/Condition.h>

#include <errno.h>
#include <time.h>

namespace android {

Condition::Condition() {
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&mCond, &attributes);
    pthread_condattr_destroy(&attributes);
}

Condition::~Condition() {
    pthread_cond_destroy(&mCond);
}

status_t Condition::wait(Mutex& mutex) {
    return -pthread_cond_wait(&mCond, &mutex.mMutex);
}

status_t Condition::waitRelative(Mutex& mutex, nsecs_t reltime) {
    if (reltime < 0) reltime = 0;
    nsecs_t until = systemTime(SYSTEM_TIME_MONOTONIC) + reltime;
    struct timespec deadline = {static_cast<time_t>(until / 1000000000),
                                static_cast<long>(until % 1000000000)};
    int error = pthread_cond_timedwait(&mCond, &mutex.mMutex, &deadline);
    return error == ETIMEDOUT ? TIMED_OUT : -error;
}

void Condition::signal() {
    pthread_cond_signal(&mCond);
}

void Condition::broadcast() {
    pthread_cond_broadcast(&mCond);
}

}  // namespace android
