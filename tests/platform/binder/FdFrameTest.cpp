// Requests that carry descriptors: each frame gets those sent with it, and
// a frame whose descriptors disagree with its header closes its connection
// without leaving one of them open in the service.
#include <sys/socket.h>

#include "platform/binder/src/Connection.h"
#include "tests/common/Eventually.h"
#include "tests/common/Pipe.h"
#include "tests/platform/binder/BinderTestSupport.h"

namespace android {
namespace {

using lyrd_test::Pipe;
using lyrd_test::readToEnd;

// Sends bytes in one message with fds (repeats allowed) as SCM_RIGHTS.
bool sendWithFds(int socket, const std::string& bytes, const std::vector<int>& fds) {
    iovec part{const_cast<char*>(bytes.data()), bytes.size()};
    std::vector<char> control(CMSG_SPACE(sizeof(int) * fds.size()));
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (!fds.empty()) {
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int) * fds.size());
        memcpy(CMSG_DATA(c), fds.data(), sizeof(int) * fds.size());
    }
    return sendmsg(socket, &message, MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

// The data of a WRITE call: the name after each of count descriptors.
std::string writeData(const std::string& name, uint32_t count) {
    std::string data;
    for (uint32_t i = 0; i < count; ++i) {
        data += "HBFD" + word(i) + word(1) + std::string{name[0], '\0', '\0', '\0'};
    }
    return data;
}

std::string writeFrame(const std::string& name, uint32_t count) {
    return frame(ITest::WRITE, writeData(name, count), count);
}

TEST(Connection, EachFrameGetsTheDescriptorsSentWithIt) {
    int pair[2];
    ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair));
    UniqueFd client(pair[0]);
    host::FdBudget budget;
    host::Connection connection(UniqueFd(pair[1]), nullptr, ucred{}, &budget);
    Pipe b, c;
    // All queued before the first read, which then takes the first frame
    // and the second, whose descriptor ends it.
    ASSERT_TRUE(sendWithFds(client.get(), writeFrame("a", 0), {}));
    ASSERT_TRUE(sendWithFds(client.get(), writeFrame("b", 1), {b.writeEnd.get()}));
    ASSERT_TRUE(sendWithFds(client.get(), writeFrame("c", 2), {c.writeEnd.get(), b.writeEnd.get()}));
    std::string written;
    for (int frames = 0; frames < 3; ++frames) {
        host::Connection::Next next = connection.afterRequest();
        if (next == host::Connection::Next::kInput) next = connection.receive();
        ASSERT_EQ(host::Connection::Next::kServe, next) << frames;
        host::RequestHeader header;
        Parcel data, reply;
        connection.takeRequest(&header, &data);
        ASSERT_EQ(NO_ERROR, TestService::writeToDescriptors(data, &reply));
        reply.setDataPosition(0);
        written += std::to_string(reply.readInt32());
    }
    EXPECT_EQ("012", written);
    b.writeEnd.reset();
    c.writeEnd.reset();
    EXPECT_EQ("bc", readToEnd(b.readEnd.get()));
    EXPECT_EQ("c", readToEnd(c.readEnd.get()));
}

TEST_F(BinderTest, DescriptorsThatDisagreeWithTheFrameCloseItsConnectionAndAllClose) {
    const std::string answered = "HBRP" + word(0) + word(8) + word(1) + word(1);
    const struct {
        const char* what;
        std::string bytes;
        size_t fds;
        std::string reply;
    } cases[] = {
            {"as announced", writeFrame("a", 1), 1, answered},
            {"fewer than announced", writeFrame("a", 2), 1, ""},
            {"more than announced", writeFrame("a", 1), 2, ""},
            {"none announced", writeFrame("a", 0), 1, ""},
            {"a malformed header", "XBRQ" + writeFrame("a", 1).substr(4), 1, ""},
            {"more than a request may carry", writeFrame("a", 16), 17, ""},
            {"a frame never completed", writeFrame("a", 1).substr(0, 24), 1, ""},
    };
    for (const auto& test : cases) {
        // Once it answers, the service has taken in the proxy's connection.
        ASSERT_EQ(NO_ERROR, mProxy->pingBinder());
        const size_t before = openDescriptors();
        {
            Pipe pipe;
            UniqueFd client = rawConnect(mFolder + "/echo");
            const std::vector<int> fds(test.fds, pipe.writeEnd.get());
            ASSERT_TRUE(sendWithFds(client.get(), test.bytes, fds)) << test.what;
            std::string received;
            char buffer[64];
            for (ssize_t got; (got = recv(client.get(), buffer, sizeof(buffer), 0)) > 0;) {
                received.append(buffer, static_cast<size_t>(got));
                if (received.size() == test.reply.size() && !test.reply.empty()) break;
            }
            EXPECT_EQ(test.reply, received) << test.what;
        }
        EXPECT_TRUE(lyrd_test::eventually([&] { return openDescriptors() == before; })) << test.what;
    }
    EXPECT_EQ(NO_ERROR, mProxy->pingBinder());
}

TEST_F(BinderTest, RequestsStalledWithDescriptorsHoldNoMoreThanTheBudget) {
    Pipe pipe;
    const std::string part = writeFrame("a", 16).substr(0, 24);
    const std::vector<int> fds(16, pipe.writeEnd.get());
    ASSERT_EQ(NO_ERROR, mProxy->pingBinder());
    const size_t before = openDescriptors();
    std::vector<UniqueFd> stalled;
    while (stalled.size() * fds.size() < host::kHeldFdLimit) {
        stalled.push_back(rawConnect(mFolder + "/echo"));
        ASSERT_TRUE(sendWithFds(stalled.back().get(), part, fds));
    }
    // Both ends of each connection and the descriptors the service took.
    const size_t held = stalled.size() * (2 + fds.size());
    ASSERT_TRUE(lyrd_test::eventually([&] { return openDescriptors() == before + held; }));

    UniqueFd over = rawConnect(mFolder + "/echo");
    ASSERT_TRUE(sendWithFds(over.get(), part, fds));
    EXPECT_TRUE(closedByService(over.get(), kWaitMs));
    // Closed for its descriptors: the stalled ones, older, are not yet.
    for (const UniqueFd& fd : stalled) EXPECT_FALSE(closedByService(fd.get(), 0));
    for (const UniqueFd& fd : stalled) EXPECT_TRUE(closedByService(fd.get(), kWaitMs));
    stalled.clear();
    over.reset();

    // The budget is back, and served requests give theirs back too.
    UniqueFd client = rawConnect(mFolder + "/echo");
    for (size_t call = 0; call * fds.size() <= host::kHeldFdLimit; ++call) {
        ASSERT_TRUE(sendWithFds(client.get(), writeFrame("b", 16), fds));
        char reply[20];
        ASSERT_EQ(20, recv(client.get(), reply, sizeof(reply), MSG_WAITALL)) << call;
    }
    client.reset();
    EXPECT_TRUE(lyrd_test::eventually([&] { return openDescriptors() == before; }));
}

}  // namespace
}  // namespace android
