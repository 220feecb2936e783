// Descriptors across a local stream socket, as SCM_RIGHTS ancillary data.
//
// The kernel hands descriptors over with the first bytes of the message
// they were sent with, and a read that takes them ends within that message
// or at its end: it never joins bytes sent after it. So descriptors belong
// to the message holding the last byte of the read that brought them.
#pragma once

#include <stddef.h>
#include <sys/types.h>
#include <sys/uio.h>

#include <vector>

#include <utils/UniqueFd.h>

namespace android {
namespace host {

// sendmsg() of parts with fdCount descriptors (at most kMaxFrameFds) and
// no SIGPIPE; its result, errno set on failure.
ssize_t sendWithFds(int socket, const iovec* parts, size_t partCount, const int* fds,
                    size_t fdCount);

// A non-blocking read of up to len bytes; the descriptors that came with
// them are added to *fds, close-on-exec. Its result is recv()'s, except
// that more descriptors than kMaxFrameFds at once fail it with EBADMSG:
// the kernel has dropped those that did not fit.
ssize_t receiveWithFds(int socket, void* buffer, size_t len, std::vector<UniqueFd>* fds);

}  // namespace host
}  // namespace android
