// Splits the byte stream of the internal channel into event names.
//
// Names end at a line feed or a NUL; empty names are skipped. The bytes of
// a name that a receive cut off are kept and joined to the next receive, so
// that every name is handed on whole, once, in order. Only a run of more
// than kMaxPendingName bytes without an end is handed on in pieces.
#pragma once

#include <stddef.h>

#include <string>

#include "detect/EventChannel.h"
#include "detect/EventSink.h"

namespace ornak {
namespace xel {

class InternalEventReader {
  public:
    static constexpr size_t kMaxPendingName = EventChannel::kMaxNameLength;
    // One receive of the monitor thread takes at most this many bytes.
    static constexpr size_t kReceiveSize = 255;

    InternalEventReader();

    // Takes count received bytes and hands every name they complete to
    // sink. The first name of a receive goes on silently; each further one
    // is logged first with its offset and the size of what is examined
    // (the kept bytes plus the received ones).
    void receive(const char* bytes, size_t count, const EventSink& sink);

  private:
    // Bytes of an unfinished name kept from earlier receives.
    std::string mBuffer;
};

}  // namespace xel
}  // namespace ornak
