#define LOG_TAG "LyrDebugService"

#include "detect/UeventSocket.h"

#include <errno.h>
#include <linux/netlink.h>
#include <sys/socket.h>

#include <log/log.h>

namespace ornak {
namespace xel {
namespace {

// The kernel never takes more than this from the uevent socket's queue for
// us; a burst that does not fit is dropped by the kernel, not by the daemon.
constexpr int kReceiveBuffer = 256;
// The address length the socket is bound with: family, pad, port id and
// groups, without any tail padding.
constexpr socklen_t kAddressLength = 12;

int bindTo(int fd, uint32_t portId) {
    struct sockaddr_nl address = {};
    address.nl_family = AF_NETLINK;
    address.nl_pad = 0;
    address.nl_pid = portId;
    address.nl_groups = 0xFFFFFFFFu;
    int result = ::bind(fd, reinterpret_cast<struct sockaddr*>(&address), kAddressLength);
    return result == 0 ? 0 : errno;
}

}  // namespace

android::UniqueFd openUeventSocket(uint32_t portId) {
    android::UniqueFd fd(::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT));
    if (!fd.ok()) {
        ALOGE("failed to create uevent socket, %d", errno);
        return fd;
    }
    int size = kReceiveBuffer;
    int result = ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof(size));
    if (result != 0) ALOGW("setsockopt failed: %d", result);

    // The port id is made from the thread and process ids and may be taken
    // by another socket; port id 0 asks the kernel for a free one.
    int error = bindTo(fd.get(), portId);
    if (error == EADDRINUSE) error = bindTo(fd.get(), 0);
    if (error != 0) {
        ALOGE("failed to bind uevent socket, %d", error);
        fd.reset();
    }
    return fd;
}

}  // namespace xel
}  // namespace ornak
