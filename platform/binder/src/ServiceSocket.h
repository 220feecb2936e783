// The socket files of published services: one listening local stream
// socket per service, named after the service in the service folder.
#pragma once

#include <string>

#include <utils/Errors.h>
#include <utils/UniqueFd.h>

namespace android {
namespace host {

// A name that can be a file in the service folder: not empty, no '/', no
// NUL, not "." or "..", and not a hidden (dot) file.
bool isValidServiceName(const std::string& name);

// Creates a listening, non-blocking socket for name in dir, creating dir
// (mode 0755) when it is missing. The socket file gets mode 0660 before it
// appears under its name, and replaces a stale socket file of that name. A
// socket that still accepts connections, or a file that is no socket, is
// left alone: ALREADY_EXISTS.
status_t publishServiceSocket(const std::string& dir, const std::string& name, UniqueFd* listener);

// A blocking connection to the named service; not ok() when it cannot be
// reached.
UniqueFd connectToService(const std::string& dir, const std::string& name);

}  // namespace host
}  // namespace android
