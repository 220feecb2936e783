#include "Tree.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <memory>
#include <regex>

#include <utils/UniqueFd.h>

#include "CopyIn.h"
#include "Files.h"

namespace sandbox {
namespace {

using android::UniqueFd;

constexpr const char* kPrograms[] = {"lyrd", "lyrdctl", "log", "logcat"};
constexpr const char* kDevices[] = {"null", "zero", "full", "random", "urandom", "kmsg"};
constexpr const char* kLogBuffers[] = {"main", "system", "events", "radio"};

bool failed(const std::string& what, std::string* error) {
    *error = what + ": " + strerror(errno);
    return false;
}

bool mountAt(const char* source, const std::string& target, const char* type, unsigned long flags,
             const std::string& data, std::string* error) {
    if (mount(source, target.c_str(), type, flags, data.empty() ? nullptr : data.c_str()) == 0) {
        return true;
    }
    return failed(std::string("cannot mount ") + source + " on " + target, error);
}

bool makeFolder(const std::string& path, std::string* error) {
    return mkdir(path.c_str(), 0755) == 0 || failed("cannot make " + path, error);
}

bool makeFile(const std::string& path, mode_t mode, std::string* error) {
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
    return fd.ok() || failed("cannot make " + path, error);
}

bool bindFile(const std::string& source, const std::string& target, std::string* error) {
    return makeFile(target, 0644, error) &&
           mountAt(source.c_str(), target, nullptr, MS_BIND, "", error);
}

bool buildDev(const std::string& dev, std::string* error) {
    if (!mountAt("lyrd-dev", dev, "tmpfs", MS_NOSUID, "mode=0755", error)) return false;
    for (const char* name : kDevices) {
        const std::string host = std::string("/dev/") + name;
        if (access(host.c_str(), F_OK) != 0) {
            fprintf(stderr, "lyrd-sandbox: the host has no %s\n", host.c_str());
        } else if (!bindFile(host, dev + "/" + name, error)) {
            return false;
        }
    }
    if (!makeFolder(dev + "/log", error) || !makeFolder(dev + "/hostbinder", error)) return false;
    for (const char* name : kLogBuffers) {
        if (!makeFile(dev + "/log/" + name, 0666, error)) return false;
    }
    const std::pair<const char*, const char*> links[] = {{"fd", "/proc/self/fd"},
                                                         {"stdin", "/proc/self/fd/0"},
                                                         {"stdout", "/proc/self/fd/1"},
                                                         {"stderr", "/proc/self/fd/2"}};
    for (const auto& [name, target] : links) {
        if (symlink(target, (dev + "/" + name).c_str()) != 0) {
            return failed("cannot link " + dev + "/" + name, error);
        }
    }
    return true;
}

// A fresh proc needs a pid namespace owned by our user namespace; without
// one the host's is bound instead, which shows the same processes.
bool mountProc(const std::string& target, std::string* error) {
    if (mount("proc", target.c_str(), "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) == 0) {
        return true;
    }
    return mountAt("/proc", target, nullptr, MS_BIND | MS_REC, "", error);
}

// A read-only remount must repeat the flags the mount already has: in a
// user namespace those of the host are locked, and leaving one out fails.
unsigned long lockedFlagsOf(const std::string& path) {
    struct statvfs info;
    if (statvfs(path.c_str(), &info) != 0) return 0;
    const std::pair<unsigned long, unsigned long> flags[] = {
            {ST_NOSUID, MS_NOSUID},   {ST_NODEV, MS_NODEV},           {ST_NOEXEC, MS_NOEXEC},
            {ST_NOATIME, MS_NOATIME}, {ST_NODIRATIME, MS_NODIRATIME}, {ST_RELATIME, MS_RELATIME}};
    unsigned long result = 0;
    for (const auto& [statFlag, mountFlag] : flags) {
        if (info.f_flag & statFlag) result |= mountFlag;
    }
    return result;
}

std::vector<std::string> hostFolders() {
    std::vector<std::string> folders = {"/usr", "/bin", "/sbin"};
    std::unique_ptr<DIR, int (*)(DIR*)> top(opendir("/"), closedir);
    while (dirent* entry = top != nullptr ? readdir(top.get()) : nullptr) {
        if (strncmp(entry->d_name, "lib", 3) == 0)
            folders.push_back(std::string("/") + entry->d_name);
    }
    folders.push_back("/etc");
    return folders;
}

bool bindHostFolder(const std::string& path, const std::string& target, std::string* error) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return true;
    if (S_ISLNK(info.st_mode)) {
        const std::string points = readLink(path);
        return symlink(points.c_str(), target.c_str()) == 0 ||
               failed("cannot link " + target, error);
    }
    if (!S_ISDIR(info.st_mode)) return true;
    return makeFolder(target, error) &&
           mountAt(path.c_str(), target, nullptr, MS_BIND | MS_REC, "", error) &&
           mountAt(path.c_str(), target, nullptr,
                   MS_REMOUNT | MS_BIND | MS_RDONLY | lockedFlagsOf(target), "", error);
}

bool makeSkeleton(const TreeContents& tree, std::string* error) {
    if (!mountAt("lyrd-root", tree.root, "tmpfs", 0, "mode=0755", error)) return false;
    for (const char* folder : {"/system", "/system/bin", "/system/vendor", "/system/vendor/etc",
                               "/data", "/dev", "/proc", "/tmp"}) {
        if (!makeFolder(tree.root + folder, error)) return false;
    }
    for (const char* name : kPrograms) {
        struct stat info;
        const std::string program = tree.bin + "/" + name;
        if (stat(program.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            !bindFile(program, tree.root + "/system/bin/" + name, error)) {
            return false;
        }
    }
    return tree.config.empty() ||
           copyIntoTree(tree.root, tree.config, "/system/vendor/etc/lyrdebug.conf", 0644, error);
}

}  // namespace

bool isDataSize(const std::string& text) {
    return std::regex_match(text, std::regex("[0-9]+[kKmMgG%]?"));
}

bool buildTree(const TreeContents& tree, std::string* error) {
    if (!isDataSize(tree.dataSize)) {
        *error = "bad size for /data: " + tree.dataSize;
        return false;
    }
    // Every mode below is meant exactly.
    umask(0);
    const std::string& root = tree.root;
    if (!makeSkeleton(tree, error) || !buildDev(root + "/dev", error) ||
        !mountProc(root + "/proc", error) ||
        !mountAt("lyrd-tmp", root + "/tmp", "tmpfs", MS_NOSUID | MS_NODEV, "mode=1777", error) ||
        !mountAt("lyrd-data", root + "/data", "tmpfs", MS_NOSUID | MS_NODEV,
                 "mode=0755,size=" + tree.dataSize, error)) {
        return false;
    }
    for (const std::string& folder : hostFolders()) {
        if (!bindHostFolder(folder, root + folder, error)) return false;
    }
    for (const auto& [source, dest] : tree.files) {
        if (!copyIntoTree(root, source, dest, 0, error)) return false;
    }
    return true;
}

}  // namespace sandbox
