#include "Namespaces.h"

#include <errno.h>
#include <sched.h>
#include <string.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Files.h"
#include "Processes.h"

namespace sandbox {
namespace {

// An unprivileged user may map only itself, and only once it has given up
// setgroups() in the new namespace.
bool mapToRoot(uid_t uid, gid_t gid, std::string* error) {
    if (writeText("/proc/self/setgroups", "deny") &&
        writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
        writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
        return true;
    }
    *error = std::string("cannot map the user to root in its namespace: ") + strerror(errno);
    return false;
}

bool sameUserNamespace(pid_t pid) {
    struct stat mine, theirs;
    const std::string path = "/proc/" + std::to_string(pid) + "/ns/user";
    if (stat("/proc/self/ns/user", &mine) != 0 || stat(path.c_str(), &theirs) != 0) return true;
    return mine.st_ino == theirs.st_ino && mine.st_dev == theirs.st_dev;
}

bool tryNamespaces(NamespaceMode mode) {
    pid_t child = fork();
    if (child == 0) {
        std::string ignored;
        _exit(makeNamespaces(mode, &ignored) ? 0 : 1);
    }
    return child > 0 && reapChild(child) == 0;
}

}  // namespace

NamespaceMode probeNamespaces() {
    if (geteuid() == 0 && tryNamespaces(NamespaceMode::kRoot)) return NamespaceMode::kRoot;
    if (tryNamespaces(NamespaceMode::kUser)) return NamespaceMode::kUser;
    return NamespaceMode::kNone;
}

bool makeNamespaces(NamespaceMode mode, std::string* error) {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    int flags = CLONE_NEWNS | CLONE_NEWNET;
    if (mode == NamespaceMode::kUser) flags |= CLONE_NEWUSER;
    if (mode == NamespaceMode::kNone || unshare(flags) != 0) {
        *error = std::string("cannot make private namespaces: ") + strerror(errno);
        return false;
    }
    if (mode == NamespaceMode::kUser && !mapToRoot(uid, gid, error)) return false;
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        *error = std::string("cannot make the mounts private: ") + strerror(errno);
        return false;
    }
    return true;
}

std::string mountNamespaceOf(const std::string& process) {
    return readLink("/proc/" + process + "/ns/mnt");
}

bool enterSandbox(const android::UniqueFd& pidfd, pid_t pid, const std::string& root,
                  std::string* error) {
    int flags = CLONE_NEWNS | CLONE_NEWNET;
    if (!sameUserNamespace(pid)) flags |= CLONE_NEWUSER;
    if (setns(pidfd.get(), flags) != 0) {
        *error = std::string("cannot join the sandbox's namespaces: ") + strerror(errno);
        return false;
    }
    if (chroot(root.c_str()) != 0 || chdir("/") != 0) {
        *error = "cannot enter " + root + ": " + strerror(errno);
        return false;
    }
    return true;
}

}  // namespace sandbox
