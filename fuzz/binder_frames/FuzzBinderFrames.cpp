// Feeds a byte stream to a RequestBuffer in pieces, serving complete
// requests the way a server connection does (no read while a request is
// complete or the stream is malformed), once in the pieces the input gives
// and once in the largest reads the buffer allows. Each piece's kind and
// size come from the input's end (FuzzedDataProvider integers, in the
// order LLVMFuzzerTestOneInput takes them): mostly the piece is that many
// bytes of the input's front, and one kind in 16 makes it a run of 8 times
// as many copies of one byte, so that frames larger than the buffer keeps
// fit small inputs; the stream stops at kMaxStream bytes, which keeps every
// run quick. Aborts unless both runs serve the requests, and end in the
// state, that a plain decode of the whole stream gives: a wrong magic or a
// frame larger than kMaxFrameSize is malformed as soon as its header is in
// and nothing after it is served. Also aborts when the buffer holds far
// more room than the bytes that came call for.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include <binder/Parcel.h>
#include <binder/host_binder.h>
#include <fuzzer/FuzzedDataProvider.h>

#include "platform/binder/src/RequestBuffer.h"

namespace {

using android::Parcel;
using android::host::kMaxFrameSize;
using android::host::RequestBuffer;
using android::host::RequestHeader;
using State = RequestBuffer::State;

constexpr size_t kHeaderSize = 20;
// No descriptor ever comes with these bytes.
constexpr uint32_t kMaxFds = 16;
// The buffer reads at least this much at a time; it may hold up to twice
// the bytes that came plus this, never what a header merely announces.
constexpr size_t kReadSlack = 4096;
constexpr size_t kMaxPiece = 8192;
constexpr size_t kFillUnit = 8;
constexpr size_t kMaxStream = 1 << 18;

// A request as the plain decode finds it: its data lies in the stream.
struct Request {
    uint32_t code;
    uint32_t flags;
    size_t offset;
    size_t size;
};

struct Outcome {
    std::vector<Request> served;
    State end = State::kEmpty;
};

uint32_t word(const uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// The frames of the stream read plainly: "HBRQ", code, flags, data size,
// descriptor count, the data. A frame that announces descriptors is
// malformed once complete, as none come with the stream.
Outcome decode(const std::vector<uint8_t>& stream) {
    Outcome outcome;
    for (size_t pos = 0;;) {
        size_t left = stream.size() - pos;
        if (left == 0) return outcome;
        if (left < kHeaderSize) {
            outcome.end = State::kPartial;
            return outcome;
        }
        const uint8_t* header = &stream[pos];
        uint64_t frame = kHeaderSize + static_cast<uint64_t>(word(header + 12));
        uint32_t fds = word(header + 16);
        if (memcmp(header, "HBRQ", 4) != 0 || frame > kMaxFrameSize || fds > kMaxFds) {
            outcome.end = State::kMalformed;
            return outcome;
        }
        if (left < frame) {
            outcome.end = State::kPartial;
            return outcome;
        }
        if (fds != 0) {
            outcome.end = State::kMalformed;
            return outcome;
        }
        outcome.served.push_back({word(header + 4), word(header + 8), pos + kHeaderSize,
                                  static_cast<size_t>(frame) - kHeaderSize});
        pos += frame;
    }
}

// Feeds the stream to a buffer in receives of at most the given sizes,
// serving whatever is complete before reading on, as a server connection
// does, and stops once the stream is malformed (the connection would be
// closed). Aborts at the first request that differs from the expected one,
// or when the end state differs.
void serve(const std::vector<uint8_t>& stream, const std::vector<size_t>& pieces,
           const Outcome& expected) {
    RequestBuffer buffer;
    size_t served = 0;
    size_t received = 0;
    size_t held = 0;
    size_t pos = 0;
    for (size_t piece : pieces) {
        for (size_t done = 0;;) {
            State state = buffer.state();
            if (state == State::kMalformed) break;
            if (state == State::kComplete) {
                RequestHeader header;
                Parcel data;
                buffer.take(&header, &data);
                if (served == expected.served.size()) abort();
                const Request& request = expected.served[served++];
                if (header.code != request.code || header.flags != request.flags ||
                    header.dataSize != request.size || data.dataSize() != request.size ||
                    data.dataPosition() != 0) {
                    abort();
                }
                if (request.size != 0 &&
                    memcmp(data.data(), &stream[request.offset], request.size) != 0) {
                    abort();
                }
                held -= kHeaderSize + header.dataSize;
                continue;
            }
            if (done == piece) break;
            size_t room = 0;
            uint8_t* space = buffer.space(&room);
            if (room == 0) abort();
            if (held + room > 2 * (received + kReadSlack)) abort();
            size_t len = std::min(room, piece - done);
            memcpy(space, &stream[pos], len);
            buffer.commit(len);
            pos += len;
            done += len;
            received += len;
            held += len;
        }
        if (buffer.state() == State::kMalformed) break;
    }
    if (served != expected.served.size() || buffer.state() != expected.end) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Kept from run to run, so that a long stream is not allocated anew.
    static std::vector<uint8_t> stream;
    stream.clear();
    std::vector<size_t> pieces;
    FuzzedDataProvider input(data, size);
    while (input.remaining_bytes() > 0) {
        bool fill = input.ConsumeIntegralInRange<uint8_t>(0, 15) == 0;
        size_t count = input.ConsumeIntegralInRange<size_t>(1, kMaxPiece);
        size_t before = stream.size();
        if (fill) {
            size_t len = std::min(count * kFillUnit, kMaxStream - before);
            stream.resize(before + len, input.ConsumeIntegral<uint8_t>());
        } else {
            std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(count);
            stream.insert(stream.end(), bytes.begin(), bytes.end());
        }
        if (stream.size() == before) break;
        pieces.push_back(stream.size() - before);
    }

    Outcome expected = decode(stream);
    serve(stream, pieces, expected);
    serve(stream, {stream.size()}, expected);
    return 0;
}
