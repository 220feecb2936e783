#include <linux/netlink.h>
#include <sched.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include <binder/Binder.h>
#include <binder/IServiceManager.h>
#include <binder/Parcel.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>
#include <gtest/gtest.h>
#include <utils/String8.h>
#include <utils/UniqueFd.h>

#include "Arguments.h"
#include "Lyrdctl.h"
#include "Uevent.h"
#include "tests/common/Pipe.h"
#include "tests/common/TempDir.h"

namespace lyrdctl {

using namespace android;
using namespace std::string_literals;

// Answers code 1 like the daemon: the name's length, N for "reply=N", or
// status -38 for "refuse". A dump writes "report" and the arguments, one
// per line, and fails with -38 when the first is "refuse".
struct FakeLyrd : BBinder {
    status_t onTransact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) override {
        if (code != 1) return BBinder::onTransact(code, data, reply, flags);
        if (!data.enforceInterface(String16("ornak.xel.lyrd"))) return PERMISSION_DENIED;
        std::string name(String8(data.readString16()).string());
        if (name.compare(0, 6, "reply=") == 0) return reply->writeInt32(std::stoi(name.substr(6)));
        return name == "refuse" ? -38 : reply->writeInt32(static_cast<int32_t>(name.length()));
    }

    status_t dump(int fd, const Vector<String16>& args) override {
        if (!args.isEmpty() && String8(args[0]) == "refuse") return -38;
        std::string text = "report\n";
        for (const String16& arg : args) text += std::string(String8(arg).string()) + "\n";
        return write(fd, text.data(), text.size()) == ssize_t(text.size()) ? NO_ERROR : -5;
    }
};

// Runs lyrdctl in process: "STATUS|OUT|ERR", where OUT is what it printed
// and then what came through the descriptor of its standard output.
static std::string lyrdctl(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    lyrd_test::Pipe pipe;
    int status = run(args, out, pipe.writeEnd.get(), err);
    pipe.writeEnd.reset();
    std::string written = lyrd_test::readToEnd(pipe.readEnd.get());
    return std::to_string(status) + "|" + out.str() + written + "|" + err.str();
}

TEST(Lyrdctl, PrintsWhatTheServiceAnswersAndExitsWithTheOutcome) {
    lyrd_test::TempDir dir;
    host::setBinderServiceDir(dir.path());
    ProcessState::self()->startThreadPool();
    const std::string unreachable =
            "lyrdctl: cannot reach the service lyrd at " + dir.path() + "/lyrd\n";
    EXPECT_EQ("1||" + unreachable, lyrdctl({"send", "hang"}));
    EXPECT_EQ("1||" + unreachable + "transaction failed: -32\n", lyrdctl({"dump"}));
    ASSERT_EQ(NO_ERROR, defaultServiceManager()->addService(String16("lyrd"), new FakeLyrd()));
    const std::string usage = usageText();
    const std::pair<std::vector<std::string>, std::string> script[] = {
            {{"send", "hang\xC3\xA9"}, "0|6\n|lyrdctl: 6: the service did not take the event\n"},
            {{"send", "refuse"}, "1||transaction failed: -38\n"},
            {{"send", "reply=-38"},
             "0|-38\n|lyrdctl: -38: the service is not started, or its monitor thread has ended "
             "(the daemon's log says which)\n"},
            {{"send", "reply=-110"},
             "0|-110\n|lyrdctl: -110: the daemon's queue of events stayed full; the event was "
             "dropped\n"},
            {{"send", "reply=-5"}, "0|-5\n|lyrdctl: -5: the service did not take the event\n"},
            {{"transact", "--code", "1", "--name", "abc"}, "0|status=0\nreply=3\n|"},
            {{"transact", "--code", "1", "--no-token", "--name", "abc"}, "0|status=-1\n|"},
            {{"transact", "--code", "0x1", "--token", "ornak.xel", "--name", "a"}, "0|status=-1\n|"},
            {{"transact", "--code", "-2147483648"}, "0|status=-74\n|"},
            {{"transact", "--code", "1599098439", "--no-token"}, "0|status=0\n|"},
            {{"transact", "--oneway", "--code", "1", "--name", "abc"}, "0|status=0\n|"},
            {{"dump"}, "0|report\n|"},
            {{"dump", "-a", "--help", "x y"}, "0|report\n-a\n--help\nx y\n|"},
            {{"dump", "refuse"}, "1||transaction failed: -38\n"},
            {{"--help"}, "0|" + usage + "|"},
            {{}, "2||lyrdctl: a command is needed\n" + usage},
            {{"transact", "--code", "4294967296"},
             "2||lyrdctl: bad transaction code: 4294967296\n" + usage},
            {{"transact", "--code", "1", "--token"}, "2||lyrdctl: --token needs a value\n" + usage},
            {{"uevent", std::string(4 << 20, 'x')},
             "1||lyrdctl: cannot send uevent: Message too long\n"},
    };
    for (const auto& [args, expected] : script) EXPECT_EQ(expected, lyrdctl(args)) << args.size();
}

TEST(Uevent, DatagramReachesTheUeventGroupOfAPrivateNetworkNamespace) {
    EXPECT_EQ("", buildUeventDatagram({true, kDefaultUeventHeader, {}}));
    pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0) _exit(77);
        UniqueFd receiver(socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT));
        sockaddr_nl group{AF_NETLINK, 0, 0, 1};
        timeval wait{20, 0};
        setsockopt(receiver.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
        char got[64] = {};
        const std::string sent = "add@/x\0A=1\0\0"s;
        bool ok = bind(receiver.get(), reinterpret_cast<sockaddr*>(&group), sizeof(group)) == 0 &&
                  lyrdctl({"uevent", "--header", "add@/x", "A=1", ""}) == "0||";
        ok = ok && recv(receiver.get(), got, sizeof(got), 0) == ssize_t(sent.size());
        _exit(ok && sent == std::string(got, sent.size()) ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "needs root for unshare";
    EXPECT_EQ(0, status);
}

}  // namespace lyrdctl
