#include "ServiceSocket.h"

#include <errno.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>

namespace android {
namespace host {
namespace {

constexpr int kListenBacklog = 128;

bool toAddress(const std::string& path, sockaddr_un* address) {
    memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof(address->sun_path)) return false;
    memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

UniqueFd connectTo(const std::string& path) {
    sockaddr_un address;
    if (!toAddress(path, &address)) {
        errno = ENAMETOOLONG;
        return UniqueFd();
    }
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.ok()) return fd;
    if (connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        int error = errno;
        fd.reset();
        errno = error;  // for the caller, past close()
    }
    return fd;
}

status_t ensureFolder(const std::string& dir) {
    if (mkdir(dir.c_str(), 0755) == 0) {
        // The umask may have taken bits away; clients must be able to enter.
        return chmod(dir.c_str(), 0755) == 0 ? NO_ERROR : -errno;
    }
    return errno == EEXIST ? NO_ERROR : -errno;
}

// NO_ERROR when path is free or holds a socket nobody listens on. Only a
// refused connection proves a socket stale; one that cannot be tried (no
// permission, say) is left alone.
status_t checkReplaceable(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? NO_ERROR : -errno;
    if (!S_ISSOCK(info.st_mode)) return ALREADY_EXISTS;
    if (connectTo(path).ok()) return ALREADY_EXISTS;
    return errno == ECONNREFUSED ? NO_ERROR : -errno;
}

// A private name in dir for building the socket before it is published.
std::string temporaryPath(const std::string& dir, const std::string& name) {
    static std::atomic<unsigned> counter{0};
    return dir + "/." + name + "." + std::to_string(getpid()) + "." +
           std::to_string(counter.fetch_add(1)) + ".tmp";
}

}  // namespace

bool isValidServiceName(const std::string& name) {
    return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

status_t publishServiceSocket(const std::string& dir, const std::string& name, UniqueFd* listener) {
    if (!isValidServiceName(name)) return BAD_VALUE;
    const std::string path = dir + "/" + name;
    const std::string building = temporaryPath(dir, name);
    sockaddr_un address;
    if (!toAddress(building, &address) || path.size() >= sizeof(address.sun_path)) {
        return BAD_VALUE;
    }
    status_t status = ensureFolder(dir);
    if (status == NO_ERROR) status = checkReplaceable(path);
    if (status != NO_ERROR) return status;

    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.ok()) return -errno;
    unlink(building.c_str());
    if (bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        return -errno;
    }
    // The socket is listening with its final mode before clients can see
    // it; rename() then swaps it in for a stale file in one step.
    if (chmod(building.c_str(), 0660) != 0 || listen(fd.get(), kListenBacklog) != 0 ||
        rename(building.c_str(), path.c_str()) != 0) {
        status = -errno;
        unlink(building.c_str());
        return status;
    }
    *listener = std::move(fd);
    return NO_ERROR;
}

UniqueFd connectToService(const std::string& dir, const std::string& name) {
    if (!isValidServiceName(name)) return UniqueFd();
    return connectTo(dir + "/" + name);
}

}  // namespace host
}  // namespace android
