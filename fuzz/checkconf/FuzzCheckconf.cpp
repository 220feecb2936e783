// Feeds the same bytes to the checker and to the daemon's parser, and
// fails when they disagree: on whether the file is accepted, or on the
// daemon's messages up to the line where the daemon stops.
#include <android/log.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <log/host_log.h>
#include <utils/UniqueFd.h>

#include "Checker.h"
#include "service/LyrDebugService.h"

namespace {

using ornak::xel::LyrDebugService;
using ornak::xel::SystemCalls;

// Log dump paths from the input must never reach a real shell.
class NoShell : public SystemCalls {
  public:
    int runShell(const char*) override { return 0; }
};

// An in-memory file that can be opened by path, so that nothing is left
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
    const std::string& path() const { return mPath; }

  private:
    android::UniqueFd mFd;
    std::string mPath;
};

// The warning and error messages the daemon logs, in order.
std::vector<std::string>& daemonMessages() {
    static std::vector<std::string> messages;
    return messages;
}

// The daemon's messages as the checker kept them: the main file's, up to
// and including its first error, where the daemon stops.
std::vector<std::string> checkerMessages(const checkconf::CheckResult& result) {
    std::vector<std::string> messages;
    for (const checkconf::Diagnostic& diagnostic : result.diagnostics) {
        if (diagnostic.at.file != 0) break;
        messages.insert(messages.end(), diagnostic.messages.begin(), diagnostic.messages.end());
        if (diagnostic.severity == checkconf::Severity::kError) break;
    }
    return messages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NoShell shell;
    static const bool quiet = [] {
        android::host::setLogSink([](int prio, const char*, const char* message) {
            if (prio >= ANDROID_LOG_WARN) daemonMessages().push_back(message);
        });
        return true;
    }();
    (void)quiet;
    static MemoryFile empty("empty.conf");
    static MemoryFile input("input.conf");
    input.setContent(data, size);

    android::sp<LyrDebugService> service = new LyrDebugService(empty.path().c_str(), shell);
    daemonMessages().clear();
    bool daemonAccepts = service->parseConfigFile(input.path().c_str()) == 0;

    // The additional file the input may name is an empty one: the daemon
    // accepts it whatever it is named.
    checkconf::CheckResult result = checkconf::checkConfiguration({input.path(), empty.path()});
    bool checkerAccepts = result.readable && result.errors == 0;
    if (daemonAccepts != checkerAccepts) abort();
    if (checkerMessages(result) != daemonMessages()) abort();
    return 0;
}
