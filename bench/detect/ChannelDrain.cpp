#include "ChannelDrain.h"

#include <errno.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace lyrd_bench {

ChannelDrain::ChannelDrain() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
    mWriteEnd.reset(ends[0]);
    mReadEnd.reset(ends[1]);
    mReader = std::thread([this] { drain(); });
}

ChannelDrain::~ChannelDrain() {
    mWriteEnd.reset();
    if (mReader.joinable()) mReader.join();
}

void ChannelDrain::drain() {
    char bytes[4096];
    for (;;) {
        ssize_t n = ::read(mReadEnd.get(), bytes, sizeof(bytes));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        mMessages += static_cast<size_t>(std::count(bytes, bytes + n, '\n'));
    }
}

size_t ChannelDrain::waitFor(size_t count, int quietMs) const {
    using Clock = std::chrono::steady_clock;
    size_t seen = mMessages.load();
    auto lastChange = Clock::now();
    while (seen < count && Clock::now() - lastChange < std::chrono::milliseconds(quietMs)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        size_t now = mMessages.load();
        if (now != seen) {
            seen = now;
            lastChange = Clock::now();
        }
    }
    return seen;
}

}  // namespace lyrd_bench
