// The sandbox script itself: hosts without namespaces, the tree, exec, stop
// and the demo.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "tests/common/TempDir.h"
#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

using SandboxScript = SandboxTest<>;

// Runs the script as a root without capabilities in a user namespace that
// may hold no further one: neither way of making namespaces is open to it.
TEST(SandboxScriptAlone, WithoutNamespacesExitsTwoAndTouchesNothing) {
    if (run({"unshare", "--user", "--map-root-user", "true"}).status != 0) {
        GTEST_SKIP() << "cannot make a user namespace here";
    }
    const std::string jail =
            "echo 0 >/proc/sys/user/max_user_namespaces && "
            "exec setpriv --bounding-set=-all --inh-caps=-all \"$@\"";
    lyrd_test::TempDir temp;
    const std::string dir = temp.file("sandbox");
    for (std::vector<std::string> args :
         {std::vector<std::string>{"start", "--root", dir}, {"demo"}}) {
        std::vector<std::string> argv = {"unshare", "--user", "--map-root-user", "sh", "-c", jail,
                                         "sh",      kScript};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.insert(argv.end(), {"--bin", kBinDir});
        Result result = run(argv);
        EXPECT_EQ(2, result.status) << args[0] << ": " << result.err;
        EXPECT_NE(std::string::npos, result.err.find("namespaces")) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST_F(SandboxScript, ExecRunsCommandsInTheTreeAndPassesTheirStatusOn) {
    ASSERT_TRUE(sandbox.start("conf\n", {"64m", {{"/data/a dir/f", "copied"}}}));
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
            {"cat /system/vendor/etc/lyrdebug.conf '/data/a dir/f'", 0, "conf\ncopied"},
            {"pwd; echo $PATH; exit 7", 7, "/\n/system/bin:/usr/sbin:/usr/bin:/sbin:/bin\n"},
            {"echo $(( $(stat -f -c '%b * %S' /data) ))", 0, "67108864\n"},
            {"stat -c %a /dev/log/main /dev/log/system /dev/log/events /dev/log/radio", 0,
             "666\n666\n666\n666\n"},
            {"for d in null zero full random urandom kmsg; do test -c /dev/$d || echo $d; done", 0,
             ""},
            {"test -x /system/bin/lyrd && touch /tmp/lyrd-e2e && ! touch /etc/lyrd-e2e", 0, ""},
    };
    for (const auto& [command, status, out] : cases) {
        Result result = sandbox.exec({"sh", "-c", command});
        EXPECT_EQ(status, result.status) << command << "\n" << result.err;
        EXPECT_EQ(out, result.out) << command;
    }
    EXPECT_EQ("piped\n", sandbox.exec({"cat"}, "piped\n").out);
    EXPECT_FALSE(std::filesystem::exists("/tmp/lyrd-e2e"));
    EXPECT_TRUE(std::filesystem::is_empty(sandbox.dir() + "/root")) << "a private tmpfs";
}

TEST_F(SandboxScript, StopEndsEveryProcessInsideAndLeavesNothingMounted) {
    ASSERT_TRUE(sandbox.start(""));
    Result child = sandbox.exec({"sh", "-c", "sleep 1000 </dev/null >/dev/null 2>&1 & echo $!"});
    ASSERT_EQ(0, child.status);
    std::string log = sandbox.log();
    int pid = sandbox.pid();

    EXPECT_EQ(0, sandbox.stop().status);

    EXPECT_FALSE(alive(pid));
    EXPECT_FALSE(alive(std::stoi(child.out)));
    std::string mounts = lyrd_test::readFile("/proc/self/mountinfo");
    EXPECT_EQ(std::string::npos, mounts.find("sand\\040box")) << mounts;
    EXPECT_EQ(log, sandbox.log());
    EXPECT_EQ(125, sandbox.exec({"true"}).status);
    EXPECT_EQ(0, sandbox.stop().status) << "stopping twice is no error";
}

// A --bin folder with the four programs alone, as another build may give.
TEST_F(SandboxScript, BinWithoutTheHelperTakesTheOneOfTheBuildBesideTheScript) {
    const std::string fallback = LYRD_SOURCE_DIR "/build/bin/lyrd-sandbox-helper";
    if (access(fallback.c_str(), X_OK) != 0) GTEST_SKIP() << "no helper in " << fallback;
    lyrd_test::TempDir bin;
    for (std::string name : {"lyrd", "lyrdctl", "log", "logcat"}) {
        std::filesystem::create_symlink(kBinDir + "/" + name, bin.file(name));
    }

    Result started = run({kScript, "start", "--root", sandbox.dir(), "--bin", bin.path()});

    ASSERT_EQ(0, started.status) << started.err;
    EXPECT_EQ(std::filesystem::canonical(fallback),
              std::filesystem::canonical(sandbox.dir() + "/sandbox.helper"));
    EXPECT_EQ(0, sandbox.exec({"test", "-x", "/system/bin/logcat"}).status);
}

TEST_F(SandboxScript, DemoShowsADumpFromEachSourceAndCleansUp) {
    Result demo = run({kScript, "demo", "--bin", kBinDir});

    ASSERT_EQ(0, demo.status) << demo.out << demo.err;
    bool kmsg = demo.out.find("kmsg    skipped") == std::string::npos;
    for (std::string event : {"app_report", "display_hang", "modem_crash", "gpu_fault"}) {
        std::string dump = "Dump event " + event + " to /data/lyrd/dumps/" + event + "_";
        EXPECT_EQ(event != "gpu_fault" || kmsg, demo.out.find(dump) != std::string::npos) << event;
    }
    EXPECT_LE(std::count(demo.out.begin(), demo.out.end(), '\n'), 40) << "under a screen";
    size_t removed = demo.out.rfind("removed ");
    ASSERT_NE(std::string::npos, removed) << demo.out;
    std::string dir = demo.out.substr(removed + 8, demo.out.rfind('.') - removed - 8);
    EXPECT_FALSE(std::filesystem::exists(dir)) << dir;
}

}  // namespace
}  // namespace lyrd_e2e
