#include "BareEcho.h"

#include <sys/socket.h>

#include <atomic>
#include <thread>
#include <vector>

#include <utils/UniqueFd.h>

namespace bench {
namespace {

using android::UniqueFd;
using Clock = std::chrono::steady_clock;

// About the size of a small binder request.
constexpr size_t kMessageSize = 32;

bool moveExactly(int from, int to, char* buffer) {
    size_t got = 0;
    while (got < kMessageSize) {
        ssize_t n = recv(from, buffer + got, kMessageSize - got, 0);
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return to < 0 || send(to, buffer, kMessageSize, MSG_NOSIGNAL) == kMessageSize;
}

struct Pair {
    UniqueFd caller;
    UniqueFd echoer;
    long trips = 0;
    bool failed = false;
};

void runCaller(Pair* pair, const std::atomic<bool>* stop) {
    char buffer[kMessageSize] = {};
    while (!*stop) {
        if (send(pair->caller.get(), buffer, kMessageSize, MSG_NOSIGNAL) != kMessageSize ||
            !moveExactly(pair->caller.get(), -1, buffer)) {
            pair->failed = true;
            break;
        }
        ++pair->trips;
    }
    // The echo thread sees the end of the stream and returns.
    shutdown(pair->caller.get(), SHUT_WR);
}

void runEchoer(Pair* pair) {
    char buffer[kMessageSize];
    while (moveExactly(pair->echoer.get(), pair->echoer.get(), buffer)) {
    }
}

}  // namespace

double measureBareEcho(int pairs, std::chrono::milliseconds duration) {
    std::vector<Pair> all(static_cast<size_t>(pairs));
    for (Pair& pair : all) {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return -1;
        pair.caller.reset(fds[0]);
        pair.echoer.reset(fds[1]);
    }
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    auto start = Clock::now();
    for (Pair& pair : all) {
        threads.emplace_back(runEchoer, &pair);
        threads.emplace_back(runCaller, &pair, &stop);
    }
    std::this_thread::sleep_for(duration);
    stop = true;
    for (std::thread& thread : threads) thread.join();
    double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    long trips = 0;
    for (const Pair& pair : all) {
        if (pair.failed) return -1;
        trips += pair.trips;
    }
    return trips == 0 ? -1 : micros * pairs / static_cast<double>(trips);
}

}  // namespace bench
