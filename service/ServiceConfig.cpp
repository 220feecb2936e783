// How the service reads its configuration: the parser of config/ with the
// daemon's own seams, the system log for its messages and the shell for the
// dump folder.
#define LOG_TAG "LyrDebugService"

#include <fcntl.h>

#include <log/log.h>
#include <utils/UniqueFd.h>

#include "config/ConfigParser.h"
#include "config/ValueRule.h"
#include "service/LyrDebugService.h"
#include "service/runtime/ShellQuote.h"

namespace ornak {
namespace xel {
namespace {

// Every message of the parser becomes one record of the system log.
class LogReporter : public ConfigReporter {
  public:
    void log(int priority, const char* format, va_list args) override {
        __android_log_vprint(priority, LOG_TAG, format, args);
    }
};

class ServiceEffects : public ConfigEffects {
  public:
    explicit ServiceEffects(SystemCalls& system) : mSystem(system) {}

    // Quoted, so the shell sees the path as one literal word, and after
    // "--", so that a path beginning with "-" is no option.
    int makeDumpFolder(const char* path) override {
        String8 command("mkdir -p -- ");
        command.append(shellQuote(path));
        return mSystem.runShell(command.string());
    }

    bool canOpen(const char* path) override {
        android::UniqueFd probe(open(path, O_RDONLY | O_CLOEXEC));
        return probe.ok();
    }

  private:
    SystemCalls& mSystem;
};

}  // namespace

status_t LyrDebugService::parseConfigFile(const char* path) {
    LogReporter reporter;
    ServiceEffects effects(systemCalls());
    return ConfigParser(*this, effects, reporter).parseFile(path);
}

int LyrDebugService::getConfigValue(const char* line, String8& value) {
    LogReporter reporter;
    return readConfigValue(reporter, line, 0, value) == ValueFault::kNone ? 0 : -1;
}

// The history is one line at the very end, with no line feed at all.
String8 LyrDebugService::dumpStatus() const {
    String8 out = statusReport();
    if (!mHistory.isEmpty()) {
        out.append("History events:");
        for (const HistoryEntry& entry : mHistory) {
            out.appendFormat("    %s %s", entry.first.string(), entry.second.string());
        }
    }
    return out;
}

}  // namespace xel
}  // namespace ornak
