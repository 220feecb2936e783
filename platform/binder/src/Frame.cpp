#include "Frame.h"

#include <endian.h>
#include <errno.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include "SocketFds.h"

namespace android {
namespace host {
namespace {

// One load or store each: the server decodes a header several times per
// request while it gathers it.
void putWord(uint8_t* out, uint32_t value) {
    value = htole32(value);
    memcpy(out, &value, sizeof(value));
}

uint32_t getWord(const uint8_t* in) {
    uint32_t value;
    memcpy(&value, in, sizeof(value));
    return le32toh(value);
}

}  // namespace

void encodeRequestHeader(const RequestHeader& header, uint8_t out[kRequestHeaderSize]) {
    putWord(out, kRequestMagic);
    putWord(out + 4, header.code);
    putWord(out + 8, header.flags);
    putWord(out + 12, header.dataSize);
    putWord(out + 16, header.fdCount);
}

bool decodeRequestHeader(const uint8_t in[kRequestHeaderSize], RequestHeader* header) {
    if (getWord(in) != kRequestMagic) return false;
    header->code = getWord(in + 4);
    header->flags = getWord(in + 8);
    header->dataSize = getWord(in + 12);
    header->fdCount = getWord(in + 16);
    return header->dataSize <= kMaxFrameSize - kRequestHeaderSize && header->fdCount <= kMaxFrameFds;
}

void encodeReplyHeader(const ReplyHeader& header, uint8_t out[kReplyHeaderSize]) {
    putWord(out, kReplyMagic);
    putWord(out + 4, static_cast<uint32_t>(header.status));
    putWord(out + 8, header.dataSize);
}

bool decodeReplyHeader(const uint8_t in[kReplyHeaderSize], ReplyHeader* header) {
    if (getWord(in) != kReplyMagic) return false;
    header->status = static_cast<int32_t>(getWord(in + 4));
    header->dataSize = getWord(in + 8);
    return header->dataSize <= kMaxFrameSize - kReplyHeaderSize;
}

IoResult readFully(int fd, void* buffer, size_t len) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < len) {
        ssize_t got = recv(fd, bytes + done, len - done, 0);
        if (got > 0) {
            done += static_cast<size_t>(got);
        } else if (got == 0) {
            return done == 0 ? IoResult::kPeerClosed : IoResult::kFailed;
        } else if (errno == ECONNRESET && done == 0) {
            // A peer that closes with bytes of ours unread resets the
            // connection rather than ending it.
            return IoResult::kPeerClosed;
        } else if (errno != EINTR) {
            return IoResult::kFailed;
        }
    }
    return IoResult::kOk;
}

IoResult sendFrame(int fd, const void* header, size_t headerLen, const void* body, size_t bodyLen,
                   const std::vector<int>& fds) {
    iovec parts[2] = {{const_cast<void*>(header), headerLen}, {const_cast<void*>(body), bodyLen}};
    size_t first = 0;
    size_t fdsLeft = fds.size();
    while (first < 2) {
        if (parts[first].iov_len == 0) {
            ++first;
            continue;
        }
        ssize_t sent = sendWithFds(fd, parts + first, 2 - first, fds.data(), fdsLeft);
        if (sent >= 0) fdsLeft = 0;  // they went with the first byte sent
        if (sent < 0) {
            if (errno == EPIPE || errno == ECONNRESET) return IoResult::kPeerClosed;
            if (errno != EINTR) return IoResult::kFailed;
            continue;
        }
        auto left = static_cast<size_t>(sent);
        while (first < 2 && left >= parts[first].iov_len) {
            left -= parts[first].iov_len;
            parts[first].iov_len = 0;
            ++first;
        }
        if (first < 2) {
            parts[first].iov_base = static_cast<uint8_t*>(parts[first].iov_base) + left;
            parts[first].iov_len -= left;
        }
    }
    return IoResult::kOk;
}

}  // namespace host
}  // namespace android
