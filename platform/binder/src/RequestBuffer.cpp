#include "RequestBuffer.h"

#include <string.h>

#include <algorithm>

#include "ParcelFds.h"

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
    if (mFdsMalformed) return State::kMalformed;
    if (held() == 0) return State::kEmpty;
    if (held() < kRequestHeaderSize) return State::kPartial;
    RequestHeader header;
    if (!decodeRequestHeader(&mBytes[mBegin], &header)) return State::kMalformed;
    if (held() < kRequestHeaderSize + header.dataSize) return State::kPartial;
    // Every descriptor of a frame comes no later than its last byte.
    return firstFrameFdCount() == header.fdCount ? State::kComplete : State::kMalformed;
}

size_t RequestBuffer::firstFrameFdCount() const {
    if (mFds.empty() || mFds.front().frameStart != mStreamBegin) return 0;
    return mFds.front().fds.size();
}

bool RequestBuffer::lastFrameStart(size_t* start) const {
    size_t at = mBegin;
    while (mEnd - at >= kRequestHeaderSize) {
        RequestHeader header;
        if (!decodeRequestHeader(&mBytes[at], &header)) return false;
        const size_t end = at + kRequestHeaderSize + header.dataSize;
        if (end >= mEnd) break;
        at = end;
    }
    *start = at;
    return true;
}

void RequestBuffer::addFds(std::vector<UniqueFd> fds) {
    size_t start = 0;
    if (fds.empty() || mFdsMalformed) return;
    if (held() == 0 || !lastFrameStart(&start)) {
        mFdsMalformed = true;
        return;
    }
    const uint64_t frameStart = mStreamBegin + (start - mBegin);
    if (mFds.empty() || mFds.back().frameStart != frameStart) mFds.push_back({frameStart, {}});
    std::vector<UniqueFd>& own = mFds.back().fds;
    for (UniqueFd& fd : fds) own.push_back(std::move(fd));
    if (own.size() > kMaxFrameFds) mFdsMalformed = true;
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
    std::vector<UniqueFd> fds;
    if (firstFrameFdCount() > 0) {
        fds = std::move(mFds.front().fds);
        mFds.erase(mFds.begin());
    }
    ParcelFds::adopt(data, std::move(fds));
    mBegin += kRequestHeaderSize + header->dataSize;
    mStreamBegin += kRequestHeaderSize + header->dataSize;
    if (mBegin < mEnd) return;
    mBegin = mEnd = 0;
    if (mCapacity > kKeptCapacity) {
        mBytes.reset();
        mCapacity = 0;
    }
}

}  // namespace host
}  // namespace android
