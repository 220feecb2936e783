// What the fuzzers of configuration text share: a shell that never runs a
// line, and a file in memory that the parser opens by its path.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include <utils/UniqueFd.h>

#include "service/runtime/SystemCalls.h"

namespace lyrd_fuzz {

// Log dump paths from the input must never reach a real shell.
class NoShell : public ornak::xel::SystemCalls {
  public:
    int runShell(const char*) override { return 0; }
};

// Nothing is left behind however the fuzzer ends.
class MemoryFile {
  public:
    explicit MemoryFile(const char* name) : mFd(memfd_create(name, MFD_CLOEXEC)) {
        if (!mFd.ok()) abort();
        mPath = "/proc/self/fd/" + std::to_string(mFd.get());
    }
    void setContent(const uint8_t* data, size_t size) {
        if (ftruncate(mFd.get(), 0) != 0) abort();
        if (size > 0 && pwrite(mFd.get(), data, size, 0) != static_cast<ssize_t>(size)) abort();
    }
    const std::string& path() const { return mPath; }

  private:
    android::UniqueFd mFd;
    std::string mPath;
};

}  // namespace lyrd_fuzz
