#include "SocketFds.h"

#include <errno.h>
#include <string.h>
#include <sys/socket.h>

#include <binder/host_binder.h>

namespace android {
namespace host {
namespace {

// Room for one read's worth of descriptors, aligned for cmsghdr.
union FdControl {
    char bytes[CMSG_SPACE(sizeof(int) * kMaxFrameFds)];
    cmsghdr align;
};

// Takes ownership of every descriptor in the message's control data
// first, so that none is left open whatever the caller does next.
void collectFds(msghdr* message, std::vector<UniqueFd>* fds) {
    for (cmsghdr* c = CMSG_FIRSTHDR(message); c != nullptr; c = CMSG_NXTHDR(message, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) continue;
        const size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (size_t i = 0; i < count; ++i) {
            int fd;
            memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof(fd));
            fds->emplace_back(fd);
        }
    }
}

}  // namespace

ssize_t sendWithFds(int socket, const iovec* parts, size_t partCount, const int* fds,
                    size_t fdCount) {
    msghdr message{};
    message.msg_iov = const_cast<iovec*>(parts);
    message.msg_iovlen = partCount;
    FdControl control;
    if (fdCount > 0) {
        if (fdCount > kMaxFrameFds) {
            errno = EINVAL;
            return -1;
        }
        memset(&control, 0, sizeof(control));
        message.msg_control = control.bytes;
        message.msg_controllen = CMSG_SPACE(sizeof(int) * fdCount);
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int) * fdCount);
        memcpy(CMSG_DATA(c), fds, sizeof(int) * fdCount);
    }
    return sendmsg(socket, &message, MSG_NOSIGNAL);
}

ssize_t receiveWithFds(int socket, void* buffer, size_t len, std::vector<UniqueFd>* fds) {
    iovec part{buffer, len};
    FdControl control;
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control.bytes;
    message.msg_controllen = sizeof(control.bytes);
    ssize_t got = recvmsg(socket, &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    if (got < 0) return got;
    if (message.msg_controllen > 0) collectFds(&message, fds);
    if ((message.msg_flags & MSG_CTRUNC) != 0) {
        errno = EBADMSG;
        return -1;
    }
    return got;
}

}  // namespace host
}  // namespace android
