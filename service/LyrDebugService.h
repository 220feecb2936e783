// The one service object of the daemon. It owns every setting, every
// configuration record list, the internal channel and the worker threads.
// Constructing it runs the whole start-up; the process never destroys it.
#pragma once

#include <pthread.h>
#include <stdint.h>

#include <atomic>
#include <memory>
#include <utility>

#include <utils/Errors.h>
#include <utils/RefBase.h>
#include <utils/String8.h>
#include <utils/UniqueFd.h>
#include <utils/Vector.h>

#include "config/Configuration.h"
#include "detect/EventChannel.h"
#include "service/ILyrDebugService.h"
#include "service/runtime/HandlerShell.h"
#include "service/runtime/ServiceStats.h"
#include "service/runtime/SystemCalls.h"

namespace ornak {
namespace xel {

using android::sp;
using android::status_t;
using android::String8;
using android::Vector;

class LogGCThread;
class LogcatDetectThread;
class KmsgDetectThread;
class MonitorThread;
class KeyWordIndex;

// The configuration it works with is its Configuration base, filled at
// start-up.
class LyrDebugService : public BnLyrDebugService, public Configuration {
  public:
    // (event name, dump directory name) of one completed dump.
    using HistoryEntry = std::pair<String8, String8>;

    LyrDebugService();
    // Runs on another main configuration file and process boundary, for
    // tests; configPath must outlive the service.
    LyrDebugService(const char* configPath, SystemCalls& system);
    ~LyrDebugService() override;

    // Writes name to the internal channel for the monitor thread; 0, or
    // INVALID_OPERATION while not started or once the monitor thread has
    // ended, BAD_VALUE for a name longer than any event's, or TIMED_OUT
    // when the channel did not take it.
    status_t sendEvent(const String8& name) override;
    // Writes the state report to fd: the answer to the platform's dump
    // transaction. A caller that does not take it within two seconds gets
    // TIMED_OUT.
    status_t dump(int fd, const Vector<android::String16>& args) override;
    // Whether the service started, its threads, and what it received and did.
    String8 stateReport() const;

    // Start-up and shutdown.
    status_t start();
    void stop();

    // Configuration: the parser of config/ with the daemon's log and shell.
    // parseConfigFile stops at the first line that cannot be applied.
    status_t parseConfigFile(const char* path);
    // The value rule on a whole line.
    int getConfigValue(const char* line, String8& value);
    // The status report, with the history of dumps at its end.
    String8 dumpStatus() const;

    // Log dumping (dump/).
    status_t enableHandlers();
    void dumpGlobalHandlers(int32_t level);
    void dumpEvent(const char* name);
    status_t notifyLogFiles(const char* name, const char* dumpPath);
    void removeOldDumps();

    SystemCalls& systemCalls() const { return mSystem; }
    // Where handler commands run: the process boundary and the configured
    // time limit.
    HandlerShell handlerShell() const { return {mSystem, mHandlerTimeout}; }

    // The members below are the service's state, read by the worker threads
    // through their back-pointer. Everything is written during start-up,
    // under mLock and before any worker thread exists, except where a
    // member says otherwise.

    // 1 while not started, 0 once start-up has completed. Read by binder
    // threads without the lock.
    std::atomic<int32_t> mStopped{1};
    pthread_mutex_t mLock;
    // Appended by dumpEvent on the monitor thread.
    Vector<HistoryEntry> mHistory;
    // The internal channel: [0] is written by event sources, [1] read by the
    // monitor thread.
    android::UniqueFd mChannel[2];
    // Writes event messages to mChannel[0]; attached in start-up.
    EventChannel mEventChannel;
    // The key words of the enabled monitors' events, built in start-up just
    // before the detection threads, which read it without a lock.
    std::unique_ptr<const KeyWordIndex> mKeyWordIndex;
    bool mMonitorEnabled = false;
    sp<MonitorThread> mMonitorThread;
    sp<KmsgDetectThread> mKmsgThread;
    sp<LogcatDetectThread> mLogcatThread;
    sp<LogGCThread> mLogGCThread;
    // Why start-up stopped, in the words it logged; null once started.
    const char* mStartFailure = nullptr;
    // Written by every thread that receives a name, dumps or collects.
    ServiceStats mStats;

  private:
    LyrDebugService(const LyrDebugService&) = delete;
    LyrDebugService& operator=(const LyrDebugService&) = delete;

    status_t parseConfiguration();
    void logStatusReport();
    bool hasEnabledMonitor() const;
    bool createChannel();
    void startWorkerThreads();
    void stopWorkerThreads();

    // Parts of dumpEvent (dump/): the dump of the event at place in mEvents
    // (false when refused), the space limits, the event's own limits (the
    // name is known, a once event not used up, min_interval passed), and an
    // early collection pass when the dumps outnumber max_dump_count.
    bool runDump(ssize_t place, const char* name);
    bool hasRoomForDump();
    bool mayDump(ssize_t place, const char* name);
    void collectIfOverCount();

    SystemCalls& mSystem;
};

}  // namespace xel
}  // namespace ornak
