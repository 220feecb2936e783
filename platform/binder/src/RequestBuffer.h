// The bytes of request frames gathered from a connection as they arrive,
// in order, with the descriptors that came with them. It holds at most the
// frame being gathered and one read past it, and grows only with bytes
// that actually came, so a header that announces a large frame costs
// nothing until the frame is sent.
//
// Descriptors belong to the frame holding the last byte of the read that
// brought them (see SocketFds.h). A frame is malformed when the number it
// came with is not the number its header announces, or when more than
// kMaxFrameFds come for it. The buffer owns them until the frame is taken,
// so those of a frame never completed close with the buffer.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <vector>

#include <binder/Parcel.h>
#include <utils/UniqueFd.h>

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
    // The descriptors that came with the bytes committed last.
    void addFds(std::vector<UniqueFd> fds);

    // Takes the first frame, which is complete, out of the buffer; data
    // gets its bytes and its descriptors.
    void take(RequestHeader* header, Parcel* data);

  private:
    // The descriptors that came for one frame.
    struct FrameFds {
        uint64_t frameStart;  // the frame's offset in the stream
        std::vector<UniqueFd> fds;
    };

    size_t held() const { return mEnd - mBegin; }
    // The size of the first frame with its header; the header's own size
    // while the header is incomplete.
    size_t frameSize() const;
    void makeRoom();
    // Where the frame holding the last byte held starts in the buffer;
    // false when a malformed header comes before it.
    bool lastFrameStart(size_t* start) const;
    // How many descriptors came for the first frame.
    size_t firstFrameFdCount() const;

    std::unique_ptr<uint8_t[]> mBytes;
    size_t mCapacity = 0;
    size_t mBegin = 0;  // the first frame starts here
    size_t mEnd = 0;
    uint64_t mStreamBegin = 0;  // the offset of mBegin in the stream
    // In stream order: at most the first frame's and those of a frame
    // after it, which the last read reached.
    std::vector<FrameFds> mFds;
    bool mFdsMalformed = false;
};

}  // namespace host
}  // namespace android
