#include "Uevent.h"

#include <errno.h>
#include <linux/netlink.h>
#include <string.h>
#include <sys/socket.h>

#include <utils/UniqueFd.h>

namespace lyrdctl {
namespace {

// The group on which the kernel announces uevents.
constexpr uint32_t kUeventGroup = 1;

}  // namespace

std::string buildUeventDatagram(const UeventCommand& uevent) {
    std::string datagram;
    if (uevent.empty) return datagram;
    datagram.append(uevent.header).push_back('\0');
    for (const std::string& record : uevent.records) datagram.append(record).push_back('\0');
    return datagram;
}

int sendUeventDatagram(const std::string& datagram) {
    android::UniqueFd fd(socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT));
    if (!fd.ok()) return errno;
    sockaddr_nl group{};
    group.nl_family = AF_NETLINK;
    group.nl_groups = kUeventGroup;
    ssize_t sent = sendto(fd.get(), datagram.data(), datagram.size(), 0,
                          reinterpret_cast<sockaddr*>(&group), sizeof(group));
    if (sent < 0) return errno;
    return static_cast<size_t>(sent) == datagram.size() ? 0 : EMSGSIZE;
}

int runUevent(const UeventCommand& uevent, std::ostream& err) {
    std::string datagram = buildUeventDatagram(uevent);
    int error = sendUeventDatagram(datagram);
    if (error == 0) return 0;
    err << "lyrdctl: cannot send uevent: " << strerror(error);
    // Newer kernels refuse every zero-length netlink message this way.
    if (error == ENODATA && datagram.empty()) {
        err << " (this kernel refuses zero-length netlink messages)";
    }
    err << "\n";
    return 1;
}

}  // namespace lyrdctl
