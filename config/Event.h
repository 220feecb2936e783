// An event: a named trigger with its own copies of the handlers it runs,
// the uevent values and key words that raise it, and its dump policy.
#pragma once

#include <stdint.h>

#include <utils/Timers.h>

#include "config/Configuration.h"
#include "config/Handler.h"

namespace ornak {
namespace xel {

struct HandlerShell;

class Configuration::Event {
  public:
    enum Policy : int32_t { kPolicyOnce = 0, kPolicyAlways = 1 };

    // The event's lines of the status report at depth, its handlers at
    // depth + 1.
    String8 statusText(int32_t depth) const;
    // Runs the dump commands of the event's enabled handlers whose level is
    // at most level, in order, through shell; stops at the first that
    // cannot be run and returns its negative result, else 0.
    status_t dumpHandlers(int32_t level, const HandlerShell& shell);

    Vector<Handler> mHandlers;
    String8 mName;
    int32_t mPolicy = kPolicyAlways;
    // Written by dumpEvent on the monitor thread, in the service's own
    // mEvents records only.
    int32_t mDumpCount = 0;
    Vector<String8> mUevents;
    Vector<String8> mKeyWords;
    // Key min_interval: no dump less than this many seconds after the last
    // one; 0 for no such limit.
    int32_t mMinInterval = 0;
    // When the last counted dump began, on the monotonic clock; -1 before
    // the first. Written by dumpEvent, like mDumpCount.
    android::nsecs_t mLastDumpTime = -1;
};

}  // namespace xel
}  // namespace ornak
