// Feeds arbitrary bytes to the configuration parser as a file, then checks
// that nothing the parser kept is longer than a line may be and that the
// status report can be built from what it kept.
#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <log/host_log.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "fuzz/common/ConfigFuzzSupport.h"
#include "service/LyrDebugService.h"

namespace {

using ornak::xel::LyrDebugService;

constexpr size_t kMaxKept = 1023;

using lyrd_fuzz::MemoryFile;
using lyrd_fuzz::NoShell;

void check(const android::String8& text) {
    if (text.length() > kMaxKept) abort();
}

void check(const LyrDebugService::Handler& handler) {
    check(handler.mName);
    check(handler.mEnableCmd);
    check(handler.mDumpCmd);
    for (const auto& para : handler.mEnableParas) check(para);
    for (const auto& para : handler.mDumpParas) check(para);
}

void check(const LyrDebugService::Event& event) {
    check(event.mName);
    for (const auto& handler : event.mHandlers) check(handler);
    for (const auto& hint : event.mUevents) check(hint);
    for (const auto& word : event.mKeyWords) check(word);
}

void check(const LyrDebugService& service) {
    check(service.mLogDumpPath);
    check(service.mAdditionalConfPath);
    for (const auto& handler : service.mGlobalHandlers) check(handler);
    for (const auto& handler : service.mHandlers) check(handler);
    for (const auto& event : service.mEvents) check(event);
    for (const auto& group : service.mEventGroups) {
        check(group.mName);
        for (const auto& event : group.mEvents) check(event);
    }
    for (const auto& monitor : service.mMonitors) {
        check(monitor.mName);
        for (const auto& event : monitor.mEvents) check(event);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NoShell shell;
    static const bool quiet = [] {
        android::host::setLogSink([](int, const char*, const char*) {});
        return true;
    }();
    (void)quiet;

    static MemoryFile empty("empty.conf");
    static MemoryFile input("input.conf");
    input.setContent(data, size);

    android::sp<LyrDebugService> service = new LyrDebugService(empty.path().c_str(), shell);
    service->parseConfigFile(input.path().c_str());
    check(*service);
    service->dumpStatus();
    return 0;
}
