// Reading a kernel uevent datagram: the value of its LYRD_EVENT record, and
// the events of the enabled monitors that this value raises.
#pragma once

#include <stddef.h>

#include <utils/String8.h>
#include <utils/Vector.h>

#include "config/Monitor.h"
#include "detect/EventSink.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

// Longest event value taken from a uevent; longer values are cut.
constexpr size_t kMaxUeventValue = 127;

// The event value carried by the count bytes of chunk: the text after the
// first '=' of the last record (header excluded) that contains "LYRD_EVENT"
// and an '='. Empty when there is none. The scan stops at the first empty
// record and never reads past count.
String8 ueventValue(const char* chunk, size_t count);

// Hands to sink, once each and in monitor and event order, the names of the
// events of enabled monitors that list the chunk's value among their uevent
// hints. Logs the value and every event dumped for it. Returns how many
// names it handed on.
size_t dispatchUevent(const Vector<LyrDebugService::Monitor>& monitors, const char* chunk,
                      size_t count, const EventSink& sink);

}  // namespace xel
}  // namespace ornak
