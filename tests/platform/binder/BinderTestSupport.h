// A test service in a fresh service folder, and raw connections.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>

#include <binder/IInterface.h>
#include <binder/IServiceManager.h>
#include <binder/Parcel.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>
#include <gtest/gtest.h>
#include <utils/String8.h>
#include <utils/UniqueFd.h>

#include "tests/common/TempDir.h"

namespace android {

struct ITest : IInterface {
    static inline const String16 descriptor{"test.echo"};
    enum { ECHO = IBinder::FIRST_CALL_TRANSACTION, GATE, LARGE, WRITE };
};

// ECHO checks the token and answers the length of the name that follows and
// the number of ECHO calls so far. GATE answers 1 once three calls are in it
// at the same time. LARGE answers a reply of nearly the largest frame, more
// than a socket takes at once. WRITE writes each String16 that follows a
// descriptor to that descriptor, and answers how many it wrote and how many
// of those descriptors were close-on-exec. dump() writes "hello" and then
// " ARG" for each argument.
struct TestService : BnInterface<ITest> {
    bool gateReached(int n, bool enter = false) {
        std::unique_lock<std::mutex> guard(mLock);
        mInGate += enter;
        mChanged.notify_all();
        return mChanged.wait_for(guard, std::chrono::seconds(20), [&] { return mInGate >= n; });
    }

    status_t onTransact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) override {
        if (code == GATE) return reply->writeInt32(gateReached(3, true));
        if (code == LARGE) {
            const std::u16string units(500000, u'x');
            return reply->writeString16(units.data(), units.size());
        }
        if (code == WRITE) return writeToDescriptors(data, reply);
        if (code != ECHO) return BBinder::onTransact(code, data, reply, flags);
        if (!data.checkInterface(this)) return PERMISSION_DENIED;
        reply->writeInt32(static_cast<int32_t>(data.readString16().size()));
        return reply->writeInt32(++mEchoes);
    }

    static status_t writeToDescriptors(const Parcel& data, Parcel* reply) {
        int32_t written = 0, closeOnExec = 0;
        for (int fd; (fd = data.readFileDescriptor()) >= 0; ++written) {
            if (!writeAll(fd, String8(data.readString16()).string())) return UNKNOWN_ERROR;
            closeOnExec += (fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
        }
        if (reply == nullptr) return NO_ERROR;  // one-way, in process
        reply->writeInt32(written);
        return reply->writeInt32(closeOnExec);
    }

    status_t dump(int fd, const Vector<String16>& args) override {
        std::string text = "hello";
        for (const String16& arg : args) text += std::string(" ") + String8(arg).string();
        return writeAll(fd, text) ? NO_ERROR : UNKNOWN_ERROR;
    }

    static bool writeAll(int fd, const std::string& text) {
        return write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    std::mutex mLock;
    std::condition_variable mChanged;
    int mInGate = 0;  // guarded by mLock
    std::atomic<int> mEchoes{0};
};

// Publishes a TestService as "echo" in a fresh service folder.
class BinderTest : public ::testing::Test {
  protected:
    BinderTest() {
        host::setBinderServiceDir(mFolder);
        ProcessState::self()->startThreadPool();
    }
    void SetUp() override {
        ASSERT_EQ(NO_ERROR, defaultServiceManager()->addService(String16("echo"), mService));
        ASSERT_NE(nullptr, mProxy = defaultServiceManager()->checkService(String16("echo")));
    }

    // "STATUS LENGTH COUNT" of an ECHO call through mProxy.
    std::string echo(const char* name, uint32_t flags = 0, const char* token = "test.echo") {
        Parcel data, reply;
        data.writeInterfaceToken(String16(token));
        data.writeString16(String16(name));
        status_t status = mProxy->transact(ITest::ECHO, data, &reply, flags);
        std::ostringstream out;  // << reads the reply in order
        out << status << " " << reply.readInt32() << " " << reply.readInt32();
        return out.str();
    }

    lyrd_test::TempDir mTemp;
    const std::string mFolder = mTemp.file("hostbinder");
    sp<TestService> mService = new TestService();
    sp<IBinder> mProxy;
};

// A request frame written out by hand: magic, code, flags, data size,
// descriptor count (all four bytes little-endian), data.
inline std::string word(uint32_t value) {
    return {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
}
inline std::string frame(uint32_t code, const std::string& data, uint32_t fdCount = 0) {
    return "HBRQ" + word(code) + word(0) + word(static_cast<uint32_t>(data.size())) +
           word(fdCount) + data;
}

inline UniqueFd rawConnect(const std::string& path) {
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{AF_UNIX, {}};
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    timeval wait{20, 0};
    setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
    EXPECT_EQ(0, connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)));
    return fd;
}

// A deadline generous for a slow machine.
constexpr int kWaitMs = 20000;

// True once the service has closed fd; waits up to waitMs.
inline bool closedByService(int fd, int waitMs) {
    pollfd entry{fd, POLLRDHUP, 0};
    return poll(&entry, 1, waitMs) == 1 && (entry.revents & (POLLRDHUP | POLLHUP)) != 0;
}

// Of this process, the service's included.
inline size_t openDescriptors() {
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

// Sends bytes on a new connection (and no more unless it stalls); gives what
// comes back before the close, "<open>" when none comes within 20 s.
inline std::string exchange(const std::string& path, const std::string& bytes, bool stall = false) {
    UniqueFd fd = rawConnect(path);
    send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (!stall) shutdown(fd.get(), SHUT_WR);
    std::string received;
    char buffer[4096];
    errno = 0;
    for (ssize_t got; (got = recv(fd.get(), buffer, sizeof(buffer), 0)) > 0;)
        received.append(buffer, got);
    return errno == EAGAIN ? received + "<open>" : received;
}

}  // namespace android
