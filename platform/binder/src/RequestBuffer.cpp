#include "RequestBuffer.h"

#include <string.h>

#include <algorithm>

namespace android {
namespace host {
namespace {

// One read takes at least this much, so that a small request arrives in a
// single call and requests sent back to back need few.
constexpr size_t kReadChunk = 4096;

// A buffer grown past this by a large frame is given back once empty, so
// that idle connections hold little memory.
constexpr size_t kKeptCapacity = 16 * kReadChunk;

}  // namespace

size_t RequestBuffer::frameSize() const {
    RequestHeader header;
    if (held() < kRequestHeaderSize || !decodeRequestHeader(&mBytes[mBegin], &header)) {
        return kRequestHeaderSize;
    }
    return kRequestHeaderSize + header.dataSize;
}

RequestBuffer::State RequestBuffer::state() const {
    if (held() == 0) return State::kEmpty;
    if (held() < kRequestHeaderSize) return State::kPartial;
    RequestHeader header;
    if (!decodeRequestHeader(&mBytes[mBegin], &header)) return State::kMalformed;
    return held() < kRequestHeaderSize + header.dataSize ? State::kPartial : State::kComplete;
}

void RequestBuffer::makeRoom() {
    if (mCapacity - mEnd >= kReadChunk) return;
    if (mBegin > 0) {
        memmove(mBytes.get(), &mBytes[mBegin], held());
        mEnd = held();
        mBegin = 0;
        if (mCapacity - mEnd >= kReadChunk) return;
    }
    // Doubling keeps the copies of a large frame few; the frame's own size
    // bounds the growth.
    size_t capacity = std::max(mEnd + kReadChunk, std::min(2 * mCapacity, frameSize() + kReadChunk));
    auto bytes = std::unique_ptr<uint8_t[]>(new uint8_t[capacity]);
    if (mEnd > 0) memcpy(bytes.get(), mBytes.get(), mEnd);
    mBytes = std::move(bytes);
    mCapacity = capacity;
}

uint8_t* RequestBuffer::space(size_t* room) {
    makeRoom();
    *room = mCapacity - mEnd;
    return &mBytes[mEnd];
}

void RequestBuffer::commit(size_t len) {
    mEnd += len;
}

void RequestBuffer::take(RequestHeader* header, Parcel* data) {
    decodeRequestHeader(&mBytes[mBegin], header);
    data->setData(&mBytes[mBegin + kRequestHeaderSize], header->dataSize);
    mBegin += kRequestHeaderSize + header->dataSize;
    if (mBegin < mEnd) return;
    mBegin = mEnd = 0;
    if (mCapacity > kKeptCapacity) {
        mBytes.reset();
        mCapacity = 0;
    }
}

}  // namespace host
}  // namespace android
