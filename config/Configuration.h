// The daemon's configuration: the global settings and the record lists that
// the parser fills at start-up and every subsystem reads afterwards. The
// service object is a Configuration; the offline checker holds one of its
// own, so that parsing needs nothing of the service.
#pragma once

#include <stdint.h>

#include <utils/Errors.h>
#include <utils/String8.h>
#include <utils/Vector.h>

namespace ornak {
namespace xel {

using android::status_t;
using android::String8;
using android::Vector;

class LyrDebugService;

class Configuration {
  public:
    // Configuration records, defined in config/. They are reached as
    // LyrDebugService::Handler and so on through the service.
    class Handler;
    class Event;
    class EventGroup;
    class Monitor;

    static constexpr const char* kConfigPath = "/system/vendor/etc/lyrdebug.conf";

    // configPath is not owned and must outlive the configuration. Both are
    // defined where the records are complete.
    explicit Configuration(const char* configPath = kConfigPath);
    ~Configuration();

    // The status report without its history: the settings, the global
    // handlers and every monitor with its event copies, one line each.
    String8 statusReport() const;

    const char* mConfigPath;
    String8 mLogDumpPath;
    String8 mAdditionalConfPath;
    bool mUseAdditionalConf = false;
    int32_t mMaxDumpCount = 10;
    uint32_t mMaxDumpSpace = 1024;  // megabytes
    uint32_t mMinFreeSpace = 512;   // megabytes
    // Key handler_timeout: a handler command still running after this many
    // seconds is ended; 0 lets it run as long as it takes.
    int32_t mHandlerTimeout = 0;
    Vector<Handler> mGlobalHandlers;
    Vector<Handler> mHandlers;
    // mDumpCount of these records is written by dumpEvent on the monitor thread.
    Vector<Event> mEvents;
    Vector<Monitor> mMonitors;
    Vector<EventGroup> mEventGroups;
    bool mLogcatGrep = true;
    bool mKmsgGrep = true;
};

// The report as the log shows it: cut at every line feed, empty pieces
// dropped.
Vector<String8> reportLines(const String8& report);

}  // namespace xel
}  // namespace ornak
