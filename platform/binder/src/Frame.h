// The frames that carry transactions over a service connection, and the
// blocking socket I/O a client moves them with.
//
// A request frame is a 20-byte header of five little-endian 32-bit words,
// the magic kRequestMagic, the code, the flags, the data size and the
// number of the data parcel's descriptors, followed by that many bytes of
// the data parcel. The descriptors themselves travel as SCM_RIGHTS
// ancillary data of the message that carries the frame's first bytes,
// never more than kMaxFrameFds. A reply frame is a 12-byte header, the
// magic kReplyMagic, the status and the reply size, followed by the reply
// parcel; replies carry no descriptors. No reply follows a one-way request.
// A frame larger than kMaxFrameSize, header included, is refused.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include <binder/host_binder.h>
#include <utils/Errors.h>

namespace android {
namespace host {

constexpr uint32_t kRequestMagic = 0x51524248;  // "HBRQ" on the wire
constexpr uint32_t kReplyMagic = 0x50524248;    // "HBRP" on the wire
constexpr size_t kRequestHeaderSize = 20;
constexpr size_t kReplyHeaderSize = 12;

struct RequestHeader {
    uint32_t code = 0;
    uint32_t flags = 0;
    uint32_t dataSize = 0;
    uint32_t fdCount = 0;
};

struct ReplyHeader {
    int32_t status = 0;
    uint32_t dataSize = 0;
};

void encodeRequestHeader(const RequestHeader& header, uint8_t out[kRequestHeaderSize]);
// False for a wrong magic, a frame larger than kMaxFrameSize or more than
// kMaxFrameFds descriptors.
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
// never raising SIGPIPE; fds (at most kMaxFrameFds) go with the first byte.
IoResult sendFrame(int fd, const void* header, size_t headerLen, const void* body, size_t bodyLen,
                   const std::vector<int>& fds = {});

}  // namespace host
}  // namespace android
