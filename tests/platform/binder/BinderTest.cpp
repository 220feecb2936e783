#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <vector>

#include "tests/platform/binder/BinderTestSupport.h"

namespace android {

using namespace std::string_literals;

TEST(Parcel, ValuesHaveTheWireLayout) {
    Parcel parcel;
    parcel.writeInterfaceToken(String16("ab"));
    parcel.writeString16(String16("xyz"));
    parcel.writeString16(nullptr, 0);
    parcel.writeInt32(-2);
    parcel.writeString16(String16("\xF0\x9F\x98\x80"));
    parcel.writeString16(String16());
    EXPECT_EQ(
            "\0\0\x40\0"                      // strict-mode policy header
            "\2\0\0\0a\0b\0\0\0\0\0"          // count, units, terminator, padding
            "\3\0\0\0x\0y\0z\0\0\0"           // no padding needed
            "\xff\xff\xff\xff"                // null string
            "\xfe\xff\xff\xff"                // Int32
            "\2\0\0\0\x3d\xd8\0\xde\0\0\0\0"  // a surrogate pair
            "\0\0\0\0\0\0\0\0"s,              // empty string
            std::string(reinterpret_cast<const char*>(parcel.data()), parcel.dataSize()));
    parcel.setDataPosition(0);
    EXPECT_TRUE(parcel.enforceInterface(String16("ab")));
    EXPECT_EQ(String16("xyz"), parcel.readString16());
    String16 text(u"stale", 5);
    EXPECT_EQ(BAD_VALUE, parcel.readString16(&text)) << "null";
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(-2, parcel.readInt32());
}

// Reading a String16 or a token from the start of each parcel fails cleanly.
TEST(Parcel, MalformedStringsFailWithoutMoving) {
    const std::string cases[] = {
            ""s,
            "\1\0"s,                        // length cut short
            "\x64\0\0\0a\0b\0\0\0"s,        // length past the end
            "\xfe\xff\xff\xffz\0\0\0"s,     // negative length
            "\xff\xff\xff\x7fz\0\0\0"s,     // INT32_MAX
            "\1\0\0\0a\0b\0"s,              // no terminator
            "\0\0\0\0\0\0"s,                // no padding
            "\0\0\x40\0\xff\xff\xff\xff"s,  // a token with a null descriptor
    };
    for (const std::string& bytes : cases) {
        Parcel parcel;
        parcel.setData(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        String16 text(u"stale", 5);
        EXPECT_NE(NO_ERROR, parcel.readString16(&text)) << testing::PrintToString(bytes);
        EXPECT_TRUE(text.isEmpty());
        EXPECT_EQ(0u, parcel.dataPosition());
        EXPECT_FALSE(parcel.enforceInterface(String16("a")));
    }
}

TEST_F(BinderTest, StandardCodesGetTheStandardAnswersAndDataIsReadFromItsStart) {
    const std::pair<uint32_t, status_t> cases[] = {
            {1599098439, NO_ERROR},  // '_PNG'
            {1598968902, NO_ERROR},  // '_NTF': the interface descriptor
            {1599295570, NO_ERROR},  // '_SPR': system properties
            {1598311760, BAD_TYPE},  // '_DMP': no descriptor to dump to
            {ITest::ECHO, NO_ERROR},
    };
    for (auto [code, status] : cases) {
        for (const sp<IBinder>& binder : {sp<IBinder>(mService), mProxy}) {
            Parcel data, reply;
            data.writeInterfaceToken(ITest::descriptor);
            EXPECT_EQ(status, binder->transact(code, data, &reply)) << code;
        }
    }
}

TEST_F(BinderTest, PublishesGroupOnlySocketsAndReplacesOnlyStaleOnes) {
    const std::string folder = mTemp.file("other");
    sp<IServiceManager> sm = defaultServiceManager();
    host::setBinderServiceDir(folder);
    mode_t saved = umask(077);  // must not make the folder unreachable
    EXPECT_EQ(NO_ERROR, sm->addService(String16("svc"), new BBinder()));
    umask(saved);
    struct stat dir = {}, socket = {};
    EXPECT_EQ(0, stat(folder.c_str(), &dir));
    EXPECT_EQ(0, stat((folder + "/svc").c_str(), &socket));
    EXPECT_EQ(S_IFDIR | 0755, dir.st_mode);
    EXPECT_EQ(S_IFSOCK | 0660, socket.st_mode);

    // Left behind by a publisher that crashed: nobody listens.
    UniqueFd stale(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{AF_UNIX, {}};
    (folder + "/stale").copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(0, bind(stale.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)));
    EXPECT_EQ(nullptr, sm->checkService(String16("stale")));
    EXPECT_EQ(NO_ERROR, sm->addService(String16("stale"), new BBinder()));
    EXPECT_NE(nullptr, sm->checkService(String16("stale")));

    std::ofstream(folder + "/plain") << "not a socket";
    for (const char* name : {"svc", "plain"})
        EXPECT_EQ(ALREADY_EXISTS, sm->addService(String16(name), new BBinder())) << name;
    for (const char* name : {"", "a/b", ".."})
        EXPECT_EQ(BAD_VALUE, sm->addService(String16(name), new BBinder())) << name;
    EXPECT_EQ(BAD_VALUE, sm->addService(String16("null"), nullptr));
}

TEST_F(BinderTest, CallsOnAConnectionRunInOrderAndGetTheirOwnReplies) {
    EXPECT_EQ("0 4 1", echo("hang"));
    // Frames queued on the connection: one thread at a time may read them.
    for (int i = 0; i < 100; ++i) EXPECT_EQ("0 0 0", echo("a", IBinder::FLAG_ONEWAY)) << "no reply";
    EXPECT_EQ("0 2 102", echo("\xF0\x9F\x98\x80")) << "after all one-way calls";
    for (const char* t : {"test.ech", "test.echoo", ""}) EXPECT_EQ("-1 0 0", echo("x", 0, t));
}

TEST_F(BinderTest, CallsRunAtOnceAGoneClientHurtsNothingAndDescriptorsCloseOnExec) {
    std::vector<sp<IBinder>> idle(8);  // must hold no pool thread
    for (auto& binder : idle) binder = defaultServiceManager()->checkService(String16("echo"));
    UniqueFd gone = rawConnect(mFolder + "/echo");
    const std::string request = frame(ITest::GATE, "");
    ASSERT_GT(send(gone.get(), request.data(), request.size(), 0), 0);
    ASSERT_TRUE(mService->gateReached(1));
    gone.reset();  // its reply goes to a closed socket, which must raise no SIGPIPE
    auto gate = [] {
        Parcel data, reply;
        defaultServiceManager()->checkService(String16("echo"))->transact(ITest::GATE, data, &reply);
        return reply.readInt32();
    };
    auto other = std::async(std::launch::async, gate);
    EXPECT_EQ(1, gate());
    EXPECT_EQ(1, other.get());
    int checked = 0;  // of the descriptors of the binder layer, all close-on-exec
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        std::string target = std::filesystem::read_symlink(entry, error);
        if (target.rfind("socket:", 0) != 0 && target != "anon_inode:[eventpoll]") continue;
        EXPECT_TRUE(fcntl(std::stoi(entry.path().filename()), F_GETFD) & FD_CLOEXEC) << target;
        ++checked;
    }
    EXPECT_GE(checked, 12);  // epoll set, listener, both ends of nine connections
}

TEST_F(BinderTest, BadOrStalledFramesCloseOnlyTheirConnection) {
    const uint32_t limit = host::kMaxFrameSize - 20;
    const std::string cases[] = {
            "XBRQ" + word(1) + word(0) + word(0) + word(0),
            "HBRQ" + word(1) + word(0) + word(limit + 1) + word(0),
            "HBRQ" + word(1) + word(0) + word(0xffffffff) + word(0),
            "HBRQ" + word(1) + word(0) + word(0) + word(17),  // too many descriptors
            "HBRQ" + word(1),                                 // the rest never comes
            frame(1, "abcdefgh").substr(0, 24),
    };
    for (const std::string& bytes : cases) {
        EXPECT_EQ("", exchange(mFolder + "/echo", bytes, true)) << "no reply, then the close";
        EXPECT_EQ(NO_ERROR, mProxy->pingBinder());
    }
    std::string largest = frame(IBinder::PING_TRANSACTION, std::string(limit, '\0'));
    EXPECT_EQ("HBRP" + word(0) + word(0), exchange(mFolder + "/echo", largest));
}

}  // namespace android
