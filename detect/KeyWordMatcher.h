// Key-word matching shared by the two detection threads: turns one log
// entry or kernel record into internal event messages.
#pragma once

#include "detect/EventChannel.h"
#include "detect/KeyWordIndex.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

// The service's key-word index; an index that matches nothing when the
// service has not built one (it never started).
const KeyWordIndex& keyWordIndexOf(const LyrDebugService& service);

// Sends to channel the name of every event that text raises through scan's
// index, in enabled-monitor and event order, each name at most once. Waits
// for room in the channel while its reader lives, until exitFd (the calling
// thread's exit request) becomes readable. Returns how many names it sent.
size_t sendKeyWordEvents(KeyWordScan& scan, EventChannel& channel, const char* text, int exitFd);

}  // namespace xel
}  // namespace ornak
