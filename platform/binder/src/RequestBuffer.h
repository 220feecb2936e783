// The bytes of request frames gathered from a connection as they arrive,
// in order. It holds at most the frame being gathered and one read past
// it, and grows only with bytes that actually came, so a header that
// announces a large frame costs nothing until the frame is sent.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>

#include <binder/Parcel.h>

#include "Frame.h"

namespace android {
namespace host {

class RequestBuffer {
  public:
    // Of the first frame held.
    enum class State { kEmpty, kPartial, kComplete, kMalformed };

    State state() const;

    // Room for the next read; never empty. Not to be called once the first
    // frame is complete or malformed, which would let a client pile up
    // frames faster than they are served.
    uint8_t* space(size_t* room);
    // Counts len bytes written to the room as received.
    void commit(size_t len);

    // Takes the first frame, which is complete, out of the buffer.
    void take(RequestHeader* header, Parcel* data);

  private:
    size_t held() const { return mEnd - mBegin; }
    // The size of the first frame with its header; the header's own size
    // while the header is incomplete.
    size_t frameSize() const;
    void makeRoom();

    std::unique_ptr<uint8_t[]> mBytes;
    size_t mCapacity = 0;
    size_t mBegin = 0;  // the first frame starts here
    size_t mEnd = 0;
};

}  // namespace host
}  // namespace android
