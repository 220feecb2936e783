#include "CopyIn.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utils/UniqueFd.h>

#include "Processes.h"

namespace sandbox {
namespace {

using android::UniqueFd;

bool copyContent(const UniqueFd& from, const UniqueFd& to) {
    char buffer[65536];
    ssize_t got;
    while ((got = read(from.get(), buffer, sizeof(buffer))) > 0) {
        for (ssize_t done = 0; done < got;) {
            ssize_t wrote = write(to.get(), buffer + done, got - done);
            if (wrote <= 0) return false;
            done += wrote;
        }
    }
    return got == 0;
}

// Like mkdir -p, for the parents of path.
bool makeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// In the child, chrooted: stderr is the holder's, that is sandbox.log.
[[noreturn]] void copyInChild(const std::string& root, const UniqueFd& from, mode_t mode,
                              const std::string& dest) {
    if (chroot(root.c_str()) != 0 || chdir("/") != 0 || !makeParents(dest)) {
        fprintf(stderr, "lyrd-sandbox: cannot make the folders of %s: %s\n", dest.c_str(),
                strerror(errno));
        _exit(1);
    }
    UniqueFd to(open(dest.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
    if (!to.ok() || !copyContent(from, to) || fchmod(to.get(), mode) != 0) {
        fprintf(stderr, "lyrd-sandbox: cannot write %s: %s\n", dest.c_str(), strerror(errno));
        _exit(1);
    }
    _exit(0);
}

}  // namespace

bool copyIntoTree(const std::string& root, const std::string& source, const std::string& dest,
                  mode_t mode, std::string* error) {
    UniqueFd from(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info;
    if (!from.ok() || fstat(from.get(), &info) != 0) {
        *error = "cannot read " + source + ": " + strerror(errno);
        return false;
    }
    pid_t child = fork();
    if (child == 0) copyInChild(root, from, mode != 0 ? mode : info.st_mode & 07777, dest);
    if (child > 0 && reapChild(child) == 0) return true;
    *error = "cannot copy " + source + " to " + dest;
    return false;
}

}  // namespace sandbox
