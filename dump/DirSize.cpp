#define LOG_TAG "LyrDebugService"

#include "dump/DirSize.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <log/log.h>

#include "dump/DirListing.h"

namespace ornak {
namespace xel {
namespace {

void addDirContents(DIR* dir, int64_t& total);

void addSubdir(int parentFd, const char* name, int64_t& total) {
    DirPtr dir = openDirectoryAt(parentFd, name);
    if (dir == nullptr) {
        ALOGE("cannot open directory: %s\n ", name);
        return;
    }
    addDirContents(dir.get(), total);
}

// One open directory per level of depth, as the recursion goes down.
void addDirContents(DIR* dir, int64_t& total) {
    int fd = dirfd(dir);
    while (const struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        struct stat st;
        // Collection may remove entries while the walk runs.
        if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (!isDotEntry(name)) addSubdir(fd, name, total);
            continue;
        }
        // A link counts with the size of what it points to; anything else
        // has just been examined.
        if (S_ISLNK(st.st_mode) && fstatat(fd, name, &st, 0) != 0) continue;
        total += st.st_size;
    }
}

}  // namespace

void getDirSize(const char* path, int64_t& total) {
    DirPtr dir = openDirectory(path);
    if (dir == nullptr) {
        ALOGE("cannot open directory: %s\n ", path);
        return;
    }
    addDirContents(dir.get(), total);
}

}  // namespace xel
}  // namespace ornak
