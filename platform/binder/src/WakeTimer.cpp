#define LOG_TAG "hostbinder"

#include "WakeTimer.h"

#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <log/log.h>

namespace android {
namespace host {

WakeTimer::WakeTimer() : mFd(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {
    if (!mFd.ok()) {
        ALOGE("Binder server timer could not be created: %s", strerror(errno));
        abort();
    }
}

void WakeTimer::fireBy(Clock::time_point when) {
    if (mSetFor && *mSetFor <= when) return;
    auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch());
    itimerspec setting{};
    setting.it_value.tv_sec = static_cast<time_t>(since.count() / 1000000000);
    setting.it_value.tv_nsec = static_cast<long>(since.count() % 1000000000);
    // Zero would disarm the timer; a time in the past fires at once.
    if (setting.it_value.tv_sec == 0 && setting.it_value.tv_nsec == 0) setting.it_value.tv_nsec = 1;
    if (timerfd_settime(mFd.get(), TFD_TIMER_ABSTIME, &setting, nullptr) == 0) mSetFor = when;
}

void WakeTimer::consume() {
    uint64_t expirations;
    // Non-blocking: nothing to read when the timer was set again meanwhile.
    ssize_t ignored = read(mFd.get(), &expirations, sizeof(expirations));
    (void)ignored;
    mSetFor.reset();
}

}  // namespace host
}  // namespace android
