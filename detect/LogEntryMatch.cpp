#include "detect/LogEntryMatch.h"

#include <string.h>

#include "detect/KeyWordMatcher.h"

namespace ornak {
namespace xel {
namespace {

// Entries under this tag come from the daemon, whichever process wrote them.
constexpr char kOwnTag[] = "LyrDebugService";

}  // namespace

size_t sendLogEntryEvents(const AndroidLogEntry& entry, pid_t ownPid, KeyWordScan& scan,
                          EventChannel& channel, int exitFd) {
    // Matching our own lines would make every dump announce the next one.
    if (entry.pid == ownPid) return 0;
    if (entry.tag != nullptr && strcmp(entry.tag, kOwnTag) == 0) return 0;
    if (entry.message == nullptr) return 0;
    return sendKeyWordEvents(scan, channel, entry.message, exitFd);
}

}  // namespace xel
}  // namespace ornak
