// Sole owner of a file descriptor: closes it when it goes. Move-only, no
// implicit conversion to int; release() hands the descriptor back.
#pragma once

#include <unistd.h>

#include <utility>

namespace android {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : mFd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : mFd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return mFd; }
    bool ok() const { return mFd >= 0; }
    [[nodiscard]] int release() { return std::exchange(mFd, -1); }
    void reset(int fd = -1) {
        int old = std::exchange(mFd, fd);
        if (old >= 0) ::close(old);
    }

  private:
    int mFd = -1;
};

}  // namespace android
