// Host-only controls of the binder layer, for tests and host tools. The
// daemon's own code never includes this header.
//
// How binder works on a host:
// - A published service is a listening local (AF_UNIX) stream socket named
//   after the service in the service folder, "/dev/hostbinder" unless
//   changed here. Publishing creates the folder with mode 0755 when it is
//   missing and gives the socket file mode 0660, so only processes of the
//   publisher's user or group may connect. A stale socket file of the same
//   name (nobody listening) is replaced; a live one is not.
// - A client connects to "<folder>/<name>" and sends request frames: code,
//   flags and the data parcel, whose descriptors (at most kMaxFrameFds) go
//   with the frame as SCM_RIGHTS ancillary data. Each is answered by a
//   reply frame with the status and the reply parcel (never descriptors),
//   except one-way requests, which get none. Several transactions may
//   follow one another on a connection.
// - The pool threads of a process, and every thread that joins the pool,
//   serve all its services and connections from one epoll set, so calls on
//   different connections run at once, and a connection that is idle or
//   half-way through a request holds no thread.
// - A frame larger than kMaxFrameSize, a malformed header, or a request
//   whose descriptors disagree with its header closes that connection; so
//   does staying mid-request, or leaving a reply untaken, for two seconds.
//   A process keeps at most 64 client connections: a new one closes the
//   one idle longest, and a proxy whose connection was closed opens a new
//   one on its next transaction.
// - Every descriptor of the layer is close-on-exec, those received with a
//   request too, so commands the daemon starts do not inherit them.
#pragma once

#include <stddef.h>

#include <string>

namespace android {
namespace host {

// Folder holding the service sockets; "/dev/hostbinder" unless changed.
void setBinderServiceDir(const std::string& dir);
std::string binderServiceDir();

// The largest frame, header included, that a connection accepts.
constexpr size_t kMaxFrameSize = 1 << 20;
// The most descriptors one request carries.
constexpr size_t kMaxFrameFds = 16;

}  // namespace host
}  // namespace android
