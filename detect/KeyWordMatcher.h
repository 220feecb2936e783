// Key-word matching shared by the two detection threads: turns one log
// entry or kernel record into internal event messages.
#pragma once

#include <utils/Vector.h>

#include "config/Monitor.h"
#include "detect/EventChannel.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

// Sends to channel the name of every event of an enabled monitor that has a
// key word occurring in text (a case-sensitive substring), each name at most
// once per call, in monitor and event order.
void sendKeyWordEvents(const Vector<LyrDebugService::Monitor>& monitors, EventChannel& channel,
                       const char* text);

}  // namespace xel
}  // namespace ornak
