// Kernel-style uevent datagrams sent from user space, for raising events
// the way a driver would.
#pragma once

#include <ostream>
#include <string>

#include "Arguments.h"

namespace lyrdctl {

// The header and then each record, each followed by a NUL byte; no bytes
// at all for an empty uevent.
std::string buildUeventDatagram(const UeventCommand& uevent);

// Sends datagram to multicast group 1 of NETLINK_KOBJECT_UEVENT in the
// caller's network namespace; 0, or the errno value of the failure.
int sendUeventDatagram(const std::string& datagram);

// Builds and sends one datagram; the exit status of lyrdctl uevent.
int runUevent(const UeventCommand& uevent, std::ostream& err);

}  // namespace lyrdctl
