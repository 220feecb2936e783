// Feeds arbitrary bytes to the configuration parser as a file, then checks
// that nothing the parser kept is longer than a line may be and that the
// status report can be built from what it kept.
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include <log/host_log.h>
#include <utils/UniqueFd.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "service/LyrDebugService.h"

namespace {

using ornak::xel::LyrDebugService;
using ornak::xel::SystemCalls;

constexpr size_t kMaxKept = 1023;

// Log dump paths from the input must never reach a real shell.
class NoShell : public SystemCalls {
  public:
    int runShell(const char*) override { return 0; }
};

// An in-memory file the parser can open by path, so that nothing is left
// behind however the fuzzer ends.
class MemoryFile {
  public:
    explicit MemoryFile(const char* name) : mFd(memfd_create(name, MFD_CLOEXEC)) {
        if (!mFd.ok()) abort();
        mPath = "/proc/self/fd/" + std::to_string(mFd.get());
    }
    void setContent(const uint8_t* data, size_t size) {
        if (ftruncate(mFd.get(), 0) != 0) abort();
        if (size > 0 && pwrite(mFd.get(), data, size, 0) != static_cast<ssize_t>(size)) abort();
    }
    const char* path() const { return mPath.c_str(); }

  private:
    android::UniqueFd mFd;
    std::string mPath;
};

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

    android::sp<LyrDebugService> service = new LyrDebugService(empty.path(), shell);
    service->parseConfigFile(input.path());
    check(*service);
    service->dumpStatus();
    return 0;
}
