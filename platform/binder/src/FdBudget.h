// How many received descriptors the requests being gathered may hold at
// once, across every connection of a server loop. Without it, clients
// stalling requests that came with descriptors could hold 64 connections
// times kMaxFrameFds, and more, for two seconds each: the whole of a
// usual descriptor limit, which the daemon needs for its dumps. A
// connection whose descriptors would pass the budget is closed, as for a
// malformed request.
//
// Thread-safe: every pool thread takes from and gives back to it.
#pragma once

#include <stddef.h>

#include <atomic>

namespace android {
namespace host {

// A quarter of the usual limit of 1,024 descriptors; a request rarely
// waits with its descriptors for more than the read that brings it.
constexpr size_t kHeldFdLimit = 256;

class FdBudget {
  public:
    explicit FdBudget(size_t limit = kHeldFdLimit) : mLimit(limit) {}

    // False, taking nothing, when count more would pass the limit.
    bool take(size_t count);
    void give(size_t count);

  private:
    const size_t mLimit;
    std::atomic<size_t> mHeld{0};
};

}  // namespace host
}  // namespace android
