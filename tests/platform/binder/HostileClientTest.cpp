// Clients that would exhaust the service: connections without end, requests
// or replies left half-way. Each must cost the service neither its
// descriptors nor its threads.
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "tests/common/LogCapture.h"
#include "tests/platform/binder/BinderTestSupport.h"

namespace android {
namespace {

// Connections held open by a child process, so that what this process
// holds is the service's side alone.
class ConnectionsInAChild {
  public:
    ConnectionsInAChild(const std::string& path, int count) {
        sockaddr_un address{AF_UNIX, {}};
        path.copy(address.sun_path, sizeof(address.sun_path) - 1);
        int ready[2], hold[2];
        if (pipe2(ready, O_CLOEXEC) != 0) return;
        UniqueFd readyRead(ready[0]), readyWrite(ready[1]);
        if (pipe2(hold, O_CLOEXEC) != 0) return;
        UniqueFd holdRead(hold[0]);
        mHold.reset(hold[1]);
        mPid = fork();
        if (mPid == 0) holdInChild(address, count, readyWrite.get(), holdRead.get());
        readyWrite.reset();  // so that a child gone early is seen
        char opened = 0;
        mOk = mPid > 0 && read(readyRead.get(), &opened, 1) == 1 && opened == 1;
    }
    ~ConnectionsInAChild() {
        mHold.reset();  // the child ends when this pipe closes
        if (mPid > 0) waitpid(mPid, nullptr, 0);
    }
    bool ok() const { return mOk; }

  private:
    // Only system calls here: the parent has threads.
    [[noreturn]] static void holdInChild(const sockaddr_un& address, int count, int ready,
                                         int hold) {
        // Copies of the service's sockets would keep them open after the
        // service closes its own.
        int low = std::min(ready, hold), high = std::max(ready, hold);
        close_range(3, low - 1, 0);
        close_range(low + 1, high - 1, 0);
        close_range(high + 1, ~0u, 0);
        rlimit limit{static_cast<rlim_t>(count + 16), static_cast<rlim_t>(count + 16)};
        char opened = setrlimit(RLIMIT_NOFILE, &limit) == 0;
        for (int i = 0; opened && i < count; ++i) {
            int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            opened = fd >= 0 &&
                     connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
        }
        if (write(ready, &opened, 1) == 1) {
            char byte;
            while (read(hold, &byte, 1) > 0) {
            }
        }
        _exit(0);
    }

    pid_t mPid = -1;
    bool mOk = false;
    UniqueFd mHold;
};

// The counts of the eviction lines logged so far.
std::vector<int> evictionCounts(const lyrd_test::LogCapture& log) {
    std::vector<int> counts;
    for (const std::string& message : log.messages("hostbinder")) {
        int count = 0, limit = 0;
        if (sscanf(message.c_str(), "Closed %d idle binder connections at the limit of %d", &count,
                   &limit) == 2 &&
            limit == 64) {
            counts.push_back(count);
        }
    }
    return counts;
}

TEST_F(BinderTest, AtTheLimitNewcomersCloseTheLongestIdleLoggedOncePerBurst) {
    constexpr int kHeld = 1100;
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_max < kHeld + 16 && geteuid() != 0) {
        GTEST_SKIP() << "a child cannot hold " << kHeld << " descriptors";
    }
    lyrd_test::LogCapture log;
    ConnectionsInAChild held(mFolder + "/echo", kHeld);
    ASSERT_TRUE(held.ok());

    // Accepted after all the child's: once it answers, the service has
    // taken them all in.
    sp<IBinder> fresh = defaultServiceManager()->checkService(String16("echo"));
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(NO_ERROR, fresh->pingBinder());
    EXPECT_LT(openDescriptors(), 100u);
    // mProxy's was the longest idle: the service closed it, and the proxy
    // opens a new one for its next call.
    EXPECT_EQ("0 1 1", echo("a"));

    std::vector<int> counts;
    for (int waited = 0; (counts = evictionCounts(log)).empty() && waited < kWaitMs; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(1u, counts.size());
    EXPECT_GE(counts[0], kHeld - 64);
}

// A ping on a raw connection; true once its reply came.
bool rawPing(int fd) {
    std::string request = frame(IBinder::PING_TRANSACTION, "");
    char reply[12];
    return send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                   static_cast<ssize_t>(request.size()) &&
           recv(fd, reply, sizeof(reply), MSG_WAITALL) == 12;
}

TEST_F(BinderTest, TheConnectionIdleLongestIsClosedFirst) {
    UniqueFd first = rawConnect(mFolder + "/echo");
    UniqueFd second = rawConnect(mFolder + "/echo");
    ASSERT_TRUE(rawPing(first.get()) && rawPing(second.get()) && rawPing(first.get()));
    // Connections older than these two, if any, go before them.
    std::vector<UniqueFd> newer;
    while (!closedByService(second.get(), 0) && newer.size() < 200) {
        newer.push_back(rawConnect(mFolder + "/echo"));
        ASSERT_TRUE(rawPing(newer.back().get()));
    }
    EXPECT_TRUE(closedByService(second.get(), 0));
    EXPECT_FALSE(closedByService(first.get(), 0)) << "opened first, but used last";
    for (const UniqueFd& fd : newer) EXPECT_FALSE(closedByService(fd.get(), 0));
}

TEST_F(BinderTest, ConnectionsStalledMidRequestHoldNoThreadAndAreClosed) {
    std::vector<UniqueFd> stalled;
    for (int i = 0; i < 60; ++i) {
        // A header cut short, or a header whose data stops part-way.
        std::string part = i % 2 == 0 ? "HBRQ" : frame(ITest::ECHO, "abcdefgh").substr(0, 24);
        stalled.push_back(rawConnect(mFolder + "/echo"));
        ASSERT_EQ(static_cast<ssize_t>(part.size()),
                  send(stalled.back().get(), part.data(), part.size(), MSG_NOSIGNAL));
    }
    sp<IBinder> fresh = defaultServiceManager()->checkService(String16("echo"));
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(NO_ERROR, fresh->pingBinder());
    // Had a thread waited for any of them, it would have been closed by now.
    for (const UniqueFd& fd : stalled) EXPECT_FALSE(closedByService(fd.get(), 0));
    for (const UniqueFd& fd : stalled) EXPECT_TRUE(closedByService(fd.get(), kWaitMs));
    EXPECT_EQ(NO_ERROR, mProxy->pingBinder());
}

TEST_F(BinderTest, ClientsThatTakeNoReplyHoldNoThreadAndAreClosed) {
    std::vector<UniqueFd> unread;
    for (int i = 0; i < 4; ++i) {  // more than the pool has threads
        unread.push_back(rawConnect(mFolder + "/echo"));
        std::string request = frame(ITest::LARGE, "");
        ASSERT_EQ(static_cast<ssize_t>(request.size()),
                  send(unread.back().get(), request.data(), request.size(), MSG_NOSIGNAL));
        // The reply has begun to come; the rest waits for the client.
        pollfd entry{unread.back().get(), POLLIN, 0};
        ASSERT_EQ(1, poll(&entry, 1, kWaitMs));
    }
    sp<IBinder> fresh = defaultServiceManager()->checkService(String16("echo"));
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(NO_ERROR, fresh->pingBinder());
    for (const UniqueFd& fd : unread) EXPECT_FALSE(closedByService(fd.get(), 0));
    for (const UniqueFd& fd : unread) EXPECT_TRUE(closedByService(fd.get(), kWaitMs));
}

}  // namespace
}  // namespace android
