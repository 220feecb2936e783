#include "dump/DirListing.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <utils/UniqueFd.h>

namespace ornak {
namespace xel {
namespace {

DirPtr streamOf(android::UniqueFd fd) {
    if (!fd.ok()) return nullptr;
    DIR* dir = fdopendir(fd.get());
    // On success the stream owns the descriptor.
    if (dir != nullptr) (void)fd.release();
    return DirPtr(dir);
}

}  // namespace

DirPtr openDirectory(const char* path) {
    return streamOf(android::UniqueFd(open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
}

DirPtr openDirectoryAt(int parentFd, const char* name) {
    return streamOf(android::UniqueFd(
            openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)));
}

bool isDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool isDirectoryEntry(DIR* dir, const struct dirent* entry) {
    if (entry->d_type != DT_UNKNOWN) return entry->d_type == DT_DIR;
    struct stat st;
    if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return S_ISDIR(st.st_mode);
}

}  // namespace xel
}  // namespace ornak
