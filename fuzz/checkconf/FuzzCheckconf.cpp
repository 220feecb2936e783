// Feeds the same bytes to the checker and to the daemon's parser, and
// fails when they disagree: on whether the file is accepted, or on the
// daemon's messages up to the line where the daemon stops.
#include <android/log.h>
#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <log/host_log.h>

#include "Checker.h"
#include "fuzz/common/ConfigFuzzSupport.h"
#include "service/LyrDebugService.h"

namespace {

using ornak::xel::LyrDebugService;

using lyrd_fuzz::MemoryFile;
using lyrd_fuzz::NoShell;

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
