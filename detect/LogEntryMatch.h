// Which log entries the logcat detection thread looks at, and what of them:
// never the daemon's own output, and only the message text.
#pragma once

#include <sys/types.h>

#include <log/logprint.h>

#include "detect/EventChannel.h"
#include "detect/KeyWordIndex.h"

namespace ornak {
namespace xel {

// Sends the events whose key words occur in entry's message, unless the
// entry was written by process ownPid or under the daemon's own tag; exitFd
// as for sendKeyWordEvents. Returns how many names it sent.
size_t sendLogEntryEvents(const AndroidLogEntry& entry, pid_t ownPid, KeyWordScan& scan,
                          EventChannel& channel, int exitFd);

}  // namespace xel
}  // namespace ornak
