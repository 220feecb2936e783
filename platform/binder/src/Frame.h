// The frames that carry transactions over a service connection, and the
// blocking socket I/O a client moves them with.
//
// A request frame is a 16-byte header of four little-endian 32-bit words,
// the magic kRequestMagic, the code, the flags and the data size, followed
// by that many bytes of the data parcel. A reply frame is a 12-byte header,
// the magic kReplyMagic, the status and the reply size, followed by the
// reply parcel. No reply follows a one-way request. A frame larger than
// kMaxFrameSize, header included, is refused.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <binder/host_binder.h>
#include <utils/Errors.h>

namespace android {
namespace host {

constexpr uint32_t kRequestMagic = 0x51524248;  // "HBRQ" on the wire
constexpr uint32_t kReplyMagic = 0x50524248;    // "HBRP" on the wire
constexpr size_t kRequestHeaderSize = 16;
constexpr size_t kReplyHeaderSize = 12;

struct RequestHeader {
    uint32_t code = 0;
    uint32_t flags = 0;
    uint32_t dataSize = 0;
};

struct ReplyHeader {
    int32_t status = 0;
    uint32_t dataSize = 0;
};

void encodeRequestHeader(const RequestHeader& header, uint8_t out[kRequestHeaderSize]);
// False for a wrong magic or a frame larger than kMaxFrameSize.
bool decodeRequestHeader(const uint8_t in[kRequestHeaderSize], RequestHeader* header);
void encodeReplyHeader(const ReplyHeader& header, uint8_t out[kReplyHeaderSize]);
bool decodeReplyHeader(const uint8_t in[kReplyHeaderSize], ReplyHeader* header);

enum class IoResult {
    kOk,
    // The peer had closed the connection: before the first byte read, or
    // before the whole frame was sent.
    kPeerClosed,
    kFailed,  // any other error, or the peer closing part-way through a read
};

// Reads exactly len bytes from a blocking socket.
IoResult readFully(int fd, void* buffer, size_t len);
// Sends a header and a body as one stream of bytes on a blocking socket,
// never raising SIGPIPE.
IoResult sendFrame(int fd, const void* header, size_t headerLen, const void* body, size_t bodyLen);

}  // namespace host
}  // namespace android
