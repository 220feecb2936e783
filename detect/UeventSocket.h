// The kernel's uevent socket, as the monitor thread listens on it.
#pragma once

#include <stdint.h>

#include <utils/UniqueFd.h>

namespace ornak {
namespace xel {

// A NETLINK_KOBJECT_UEVENT socket that receives every multicast group,
// bound to portId; when another socket of the network namespace already
// holds that port id, bound to one the kernel picks. Failures are logged
// ("failed to create uevent socket, %d", "failed to bind uevent socket, %d")
// and give an invalid descriptor.
android::UniqueFd openUeventSocket(uint32_t portId);

}  // namespace xel
}  // namespace ornak
