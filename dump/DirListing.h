// Reading a directory's entries once, in listing order, with the stream
// owned so that every way out closes it.
#pragma once

#include <dirent.h>

#include <memory>

namespace ornak {
namespace xel {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

// Opens path (absolute or relative to the working directory) as a directory
// stream; null when it is not a directory that can be read.
DirPtr openDirectory(const char* path);

// Opens name, relative to the directory open as parentFd, as a directory
// stream without following a symbolic link; null when that fails.
DirPtr openDirectoryAt(int parentFd, const char* name);

// True for the "." and ".." entries every listing holds.
bool isDotEntry(const char* name);

// Whether the listing reports the entry as a directory. File systems that
// leave the type out of the listing are asked with a stat of the entry
// itself, so the answer is the same everywhere.
bool isDirectoryEntry(DIR* dir, const struct dirent* entry);

}  // namespace xel
}  // namespace ornak
