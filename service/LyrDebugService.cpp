#define LOG_TAG "LyrDebugService"

#include "service/LyrDebugService.h"

#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <log/log.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "detect/KeyWordIndex.h"
#include "detect/KmsgDetectThread.h"
#include "detect/LogcatDetectThread.h"
#include "detect/MonitorThread.h"
#include "dump/LogGCThread.h"

namespace ornak {
namespace xel {
namespace {

constexpr useconds_t kExitRequestIntervalUs = 20 * 1000;

// Holds a pthread mutex for one scope.
class MutexGuard {
  public:
    explicit MutexGuard(pthread_mutex_t& lock) : mLock(lock) { pthread_mutex_lock(&mLock); }
    ~MutexGuard() { pthread_mutex_unlock(&mLock); }
    MutexGuard(const MutexGuard&) = delete;
    MutexGuard& operator=(const MutexGuard&) = delete;

  private:
    pthread_mutex_t& mLock;
};

}  // namespace

LyrDebugService::LyrDebugService() : LyrDebugService(kConfigPath, SystemCalls::real()) {}

LyrDebugService::LyrDebugService(const char* configPath, SystemCalls& system)
    : Configuration(configPath), mSystem(system) {
    pthread_mutex_init(&mLock, nullptr);
    start();
}

// Nothing destroys the service while the process runs; tests do. The worker
// threads read the lists and the channel through a plain pointer, so they
// end before stop() clears the lists and before the channel closes.
LyrDebugService::~LyrDebugService() {
    stopWorkerThreads();
    stop();
    mChannel[0].reset();
    mChannel[1].reset();
    mLogGCThread.clear();
    mLogcatThread.clear();
    mKmsgThread.clear();
    mMonitorThread.clear();
    mHistory.clear();
    mEventGroups.clear();
    mMonitors.clear();
    mEvents.clear();
    mHandlers.clear();
    mGlobalHandlers.clear();
    mAdditionalConfPath.clear();
    mLogDumpPath.clear();
    pthread_mutex_destroy(&mLock);
}

status_t LyrDebugService::start() {
    MutexGuard guard(mLock);
    if (mStopped == 0) {
        ALOGW("LyrDebugService already started");
        return android::INVALID_OPERATION;
    }

    ALOGD("Start parsing config");
    status_t parsed = parseConfiguration();
    if (parsed != android::NO_ERROR) {
        mStartFailure = "Failed to parse config file";
        ALOGE("%s", mStartFailure);
        return parsed;
    }
    logStatusReport();

    mMonitorEnabled = hasEnabledMonitor();
    if (!mMonitorEnabled) {
        mStartFailure = "No monitor is enabled";
        ALOGD("%s", mStartFailure);
        return android::NO_INIT;
    }

    ALOGD("Start enable handlers");
    enableHandlers();
    ALOGD("Finish enable handlers");

    if (!createChannel()) {
        mStartFailure = "Failed to enable handlers";
        ALOGE("%s", mStartFailure);
        return android::UNKNOWN_ERROR;
    }
    mStats.setEventCount(mEvents.size());
    startWorkerThreads();

    mStopped = 0;
    ALOGD("LYR debug service started");
    return android::NO_ERROR;
}

// The main file, then the additional file when the main file named one
// that can be opened. No third file is ever read.
status_t LyrDebugService::parseConfiguration() {
    status_t parsed = parseConfigFile(mConfigPath);
    if (parsed == android::NO_ERROR && mUseAdditionalConf) {
        // A copy: an additional_conf_path line inside that file replaces
        // mAdditionalConfPath while the file is being read.
        String8 additionalPath(mAdditionalConfPath);
        parsed = parseConfigFile(additionalPath.string());
    }
    return parsed;
}

bool LyrDebugService::hasEnabledMonitor() const {
    for (size_t i = 0; i < mMonitors.size(); ++i) {
        if (mMonitors[i].mEnabled) return true;
    }
    return false;
}

// The channel's descriptors are close-on-exec: handler commands must not
// inherit them.
bool LyrDebugService::createChannel() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
    mChannel[0].reset(ends[0]);
    mChannel[1].reset(ends[1]);
    mEventChannel.attach(mChannel[0].get());
    return true;
}

// In this order: collection, the two key-word threads when their sources
// are on, and last the monitor thread, the channel's only reader. The
// key-word index is complete before either key-word thread exists.
void LyrDebugService::startWorkerThreads() {
    if (mLogGCThread == nullptr) {
        mLogGCThread = new LogGCThread(this, LogGCThread::kSleepSeconds);
        mLogGCThread->run("LYRD LogGC", android::PRIORITY_DEFAULT, 0);
    }
    if (mKeyWordIndex == nullptr) mKeyWordIndex = std::make_unique<KeyWordIndex>(mMonitors);
    if (mLogcatGrep && mLogcatThread == nullptr) {
        mLogcatThread = new LogcatDetectThread(this);
        mLogcatThread->run("LYRD Logcat Detect", android::PRIORITY_DEFAULT, 0);
    }
    if (mKmsgGrep && mKmsgThread == nullptr) {
        mKmsgThread = new KmsgDetectThread(this);
        mKmsgThread->run("LYRD Kmsg Detect", android::PRIORITY_DEFAULT, 0);
    }
    if (mMonitorThread == nullptr) {
        mMonitorThread = new MonitorThread(this, [this](const char* name) { dumpEvent(name); });
        mMonitorThread->run("LYRD Monitor", android::PRIORITY_DEFAULT, 0);
    }
}

// Runs on binder threads, without the lock.
status_t LyrDebugService::sendEvent(const String8& name) {
    if (mStopped != 0) return android::INVALID_OPERATION;
    // The name ends at its first NUL, whatever the parcel carried after it.
    const char* text = name.string();
    size_t length = strlen(text);
    if (length > EventChannel::kMaxNameLength) {
        // No event has such a name; in pieces, one piece might be one.
        ALOGW("Event name too long, %zu bytes", length);
        return android::BAD_VALUE;
    }
    // Nobody would ever read it.
    if (!mEventChannel.hasReader()) return android::INVALID_OPERATION;
    if (!mEventChannel.send(text)) return android::TIMED_OUT;
    if (length > 0) mStats.namesReceived(ServiceStats::kBinder);
    ALOGD("Send event %s thru lyrd service", text);
    return android::NO_ERROR;
}

// The report goes out one debug record per non-empty line, between two
// rules of hyphens.
void LyrDebugService::logStatusReport() {
    static const char kRule[] = "--------------------------------------------";
    ALOGD("Parsing config succeed, start dump config...");
    ALOGD("%s", kRule);
    for (const String8& line : reportLines(dumpStatus())) ALOGD("%s", line.string());
    ALOGD("%s", kRule);
}

void LyrDebugService::stop() {
    MutexGuard guard(mLock);
    if (mStopped == 1) return;
    mHandlers.clear();
    mEvents.clear();
    mMonitors.clear();
    mStopped = 1;
    ALOGD("LYR debug service stopped");
}

// Asks each worker thread to end and waits for it: the channel's writers
// first, then its reader, then collection. A thread may be blocked in a read
// that only a repeated request interrupts for sure, so the request is
// repeated until the thread has ended.
void LyrDebugService::stopWorkerThreads() {
    const sp<android::Thread> threads[] = {mLogcatThread, mKmsgThread, mMonitorThread, mLogGCThread};
    for (const sp<android::Thread>& thread : threads) {
        if (thread == nullptr) continue;
        thread->requestExit();
        while (thread->isRunning()) {
            usleep(kExitRequestIntervalUs);
            thread->requestExit();
        }
        thread->join();
    }
}

}  // namespace xel
}  // namespace ornak
