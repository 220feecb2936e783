// A test service in a fresh service folder, and raw connections.
#pragma once

#include <errno.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <string>

#include <binder/IInterface.h>
#include <binder/IServiceManager.h>
#include <binder/Parcel.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>
#include <gtest/gtest.h>
#include <utils/UniqueFd.h>

#include "tests/common/TempDir.h"

namespace android {

struct ITest : IInterface {
    static inline const String16 descriptor{"test.echo"};
    enum { ECHO = IBinder::FIRST_CALL_TRANSACTION, GATE, LARGE };
};

// ECHO checks the token and answers the length of the name that follows and
// the number of ECHO calls so far. GATE answers 1 once three calls are in it
// at the same time. LARGE answers a reply of nearly the largest frame, more
// than a socket takes at once.
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
        if (code != ECHO) return BBinder::onTransact(code, data, reply, flags);
        if (!data.checkInterface(this)) return PERMISSION_DENIED;
        reply->writeInt32(static_cast<int32_t>(data.readString16().size()));
        return reply->writeInt32(++mEchoes);
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

// A request frame written out by hand: magic, code, flags, data size (all
// four bytes little-endian), data.
inline std::string word(uint32_t value) {
    return {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
}
inline std::string frame(uint32_t code, const std::string& data) {
    return "HBRQ" + word(code) + word(0) + word(static_cast<uint32_t>(data.size())) + data;
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
