#include "detect/LogcatDetectThread.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>

#include <log/logprint.h>

#include "detect/KeyWordMatcher.h"
#include "detect/LogEntryMatch.h"

namespace ornak {
namespace xel {
namespace {

constexpr const char* kBufferNames[] = {"/dev/log/main", "/dev/log/system", "/dev/log/events",
                                        "/dev/log/radio"};

// Sent to the reading thread to break its blocking read. The default action
// of this signal is to ignore it, so a stray one elsewhere does no harm.
constexpr int kWakeSignal = SIGURG;

void ignoreWakeSignal(int) {}

// Without SA_RESTART, so that the signal makes the read return -EINTR
// instead of resuming the wait.
void installWakeHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action = {};
        action.sa_handler = ignoreWakeSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(kWakeSignal, &action, nullptr);
    });
}

}  // namespace

LogcatDetectThread::LogcatDetectThread(LyrDebugService* service)
    : android::Thread(true),
      mService(service),
      mList(android_logger_list_alloc_time(ANDROID_LOG_RDONLY, log_time::EPOCH, 0)),
      mOwnPid(getpid()),
      mScan(keyWordIndexOf(*service)) {
    // The list keeps the buffers' handles; one that cannot be opened is
    // simply not read.
    for (const char* buffer : kBufferNames) {
        android_logger_open(mList, android_name_to_log_id(buffer));
    }
    installWakeHandler();
}

LogcatDetectThread::~LogcatDetectThread() {
    if (mList != nullptr) android_logger_list_free(mList);
}

void LogcatDetectThread::requestExit() {
    android::Thread::requestExit();
    mExit.signal();
    mBackoff.cancel();
    // The tid is read under the thread's lock but may end right after; the
    // kernel does not reuse it before its ids wrap around.
    pid_t tid = getTid();
    if (tid > 0) ::syscall(SYS_tgkill, mOwnPid, tid, kWakeSignal);
}

bool LogcatDetectThread::threadLoop() {
    if (exitPending()) return false;

    struct log_msg message;
    int result = android_logger_list_read(mList, &message);
    if (result <= 0) {
        if (exitPending()) return false;
        // No buffer open, or a reader error: do not spin on it.
        mBackoff.readFailed();
        return true;
    }
    mBackoff.readSucceeded();

    AndroidLogEntry entry;
    if (android_log_processLogBuffer(&message.entry_v1, &entry) < 0) return true;
    size_t sent = sendLogEntryEvents(entry, mOwnPid, mScan, mService->mEventChannel, mExit.fd());
    if (sent > 0) mService->mStats.namesReceived(ServiceStats::kLogBuffers, sent);
    return true;
}

}  // namespace xel
}  // namespace ornak
