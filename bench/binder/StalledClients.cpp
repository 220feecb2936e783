#include "StalledClients.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <vector>

namespace bench {
namespace {

using android::UniqueFd;

// The first bytes of a request header; the rest never comes.
constexpr char kPartialHeader[] = "HBRQ";

UniqueFd openStalled(const std::string& path) {
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    if (!fd.ok() || connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        send(fd.get(), kPartialHeader, 4, MSG_NOSIGNAL) != 4) {
        return UniqueFd();
    }
    return fd;
}

}  // namespace

StalledClients::StalledClients(std::string path, int count)
    : mPath(std::move(path)), mCount(count) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) == 0) {
        mStopRead.reset(fds[0]);
        mStopWrite.reset(fds[1]);
    }
    mThread = std::thread(&StalledClients::hold, this);
}

StalledClients::~StalledClients() {
    mStopWrite.reset();
    mThread.join();
}

void StalledClients::hold() {
    std::vector<UniqueFd> held(static_cast<size_t>(mCount));
    std::vector<pollfd> watched(held.size() + 1);
    for (;;) {
        for (size_t i = 0; i < held.size(); ++i) {
            if (!held[i].ok()) {
                held[i] = openStalled(mPath);
                ++mOpened;
            }
            watched[i] = {held[i].get(), POLLRDHUP, 0};
        }
        watched.back() = {mStopRead.get(), POLLIN, 0};
        if (poll(watched.data(), watched.size(), -1) < 0) continue;
        if (watched.back().revents != 0) return;
        for (size_t i = 0; i < held.size(); ++i) {
            if (watched[i].revents != 0) held[i].reset();
        }
    }
}

}  // namespace bench
