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

#include "config/ConfigIndex.h"
#include "detect/EventChannel.h"
#include "service/ILyrDebugService.h"
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
class ConfigLineSplit;
class KeyWordIndex;

class LyrDebugService : public BnLyrDebugService {
  public:
    // Configuration records, defined in config/.
    class Handler;
    class Event;
    class EventGroup;
    class Monitor;
    // (event name, dump directory name) of one completed dump.
    using HistoryEntry = std::pair<String8, String8>;

    static constexpr const char* kConfigPath = "/system/vendor/etc/lyrdebug.conf";

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

    // Start-up and shutdown.
    status_t start();
    void stop();

    // Configuration (config/).
    status_t parseConfigFile(const char* path);
    int getConfigValue(const char* line, String8& value);
    status_t parseGlobalKey(const char* line);
    status_t parseHandlerKey(Handler& handler, const char* line);
    status_t parseEventKey(Event& event, const char* line);
    status_t parseEventGroupKey(EventGroup& group, const char* line);
    status_t parseMonitorKey(Monitor& monitor, const char* line);
    String8 dumpStatus() const;

    // Log dumping (dump/).
    status_t enableHandlers();
    void dumpGlobalHandlers(int32_t level);
    void dumpEvent(const char* name);
    status_t notifyLogFiles(const char* name, const char* dumpPath);
    void removeOldDumps();

    SystemCalls& systemCalls() const { return mSystem; }

    // The members below are the service's state, read by the worker threads
    // through their back-pointer. Everything is written during start-up,
    // under mLock and before any worker thread exists, except where a
    // member says otherwise.

    // 1 while not started, 0 once start-up has completed. Read by binder
    // threads without the lock.
    std::atomic<int32_t> mStopped{1};
    pthread_mutex_t mLock;
    const char* mConfigPath;
    String8 mLogDumpPath;
    String8 mAdditionalConfPath;
    bool mUseAdditionalConf = false;
    int32_t mMaxDumpCount = 10;
    uint32_t mMaxDumpSpace = 1024;  // megabytes
    uint32_t mMinFreeSpace = 512;   // megabytes
    Vector<Handler> mGlobalHandlers;
    Vector<Handler> mHandlers;
    // mDumpCount of these records is written by dumpEvent on the monitor thread.
    Vector<Event> mEvents;
    Vector<Monitor> mMonitors;
    Vector<EventGroup> mEventGroups;
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
    bool mLogcatGrep = true;
    bool mKmsgGrep = true;
    sp<MonitorThread> mMonitorThread;
    sp<KmsgDetectThread> mKmsgThread;
    sp<LogcatDetectThread> mLogcatThread;
    sp<LogGCThread> mLogGCThread;
    // Name indexes of the record lists, for the parser alone; emptied once
    // the configuration is read.
    ConfigIndex mConfigIndex;

  private:
    LyrDebugService(const LyrDebugService&) = delete;
    LyrDebugService& operator=(const LyrDebugService&) = delete;

    status_t parseConfiguration();
    void logStatusReport();
    bool hasEnabledMonitor() const;
    bool createChannel();
    void startWorkerThreads();
    void stopWorkerThreads();

    // Parts of dumpEvent (dump/): the space limits, the record to dump
    // (null when the name is unknown or a once event is used up), and an
    // early collection pass when the dumps outnumber max_dump_count.
    bool hasRoomForDump();
    Event* eventToDump(const char* name);
    void collectIfOverCount();

    SystemCalls& mSystem;
    // The word split of the configuration line being parsed; set only while
    // parseConfigFile runs.
    ConfigLineSplit* mSplit = nullptr;
};

}  // namespace xel
}  // namespace ornak
