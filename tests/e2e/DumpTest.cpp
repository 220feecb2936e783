// Dumps raised through each source, the limits that refuse them, garbage
// collection at start, and what never reaches the daemon.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

// Unique to this run: the kernel log keeps earlier runs' records, and the
// daemon reads it from its start.
const std::string kKeyWord = "lyrd e2e " + std::to_string(getpid()) + "-" + std::to_string(time(0));

// One event, ev, raised by the key word or by the uevent value ev_hint; more
// settings replace the earlier ones.
std::string config(const std::string& more = "") {
    return R"(global.log_dump_path=/data/dumps
global.logcat_grep=0
global.kmsg_grep=0
handler.out.dump=echo dumped > out.txt
handler.out.level=0
handler.out.on=1
event.ev.uevent=ev_hint
event.ev.handler.out.on=1
event.ev.key_word=)" +
           kKeyWord + "\nmonitor.m.enable=1\nmonitor.m.event=ev\n" + more;
}

struct SourceCase {
    const char* name;
    std::string settings;
    std::string command;  // run by sh inside, the key word in $0
};

class DumpSource : public SandboxTest<::testing::TestWithParam<SourceCase>> {};

TEST_P(DumpSource, MakesOneDumpFolderWithTheHandlersOutput) {
    const SourceCase& c = GetParam();
    ASSERT_TRUE(sandbox.start(config(c.settings)));
    Result raised = sandbox.exec({"sh", "-c", c.command, kKeyWord});
    if (raised.status != 0 && c.command.find("kmsg") != std::string::npos) {
        GTEST_SKIP() << "cannot write /dev/kmsg here: " << raised.err;
    }
    ASSERT_EQ(0, raised.status) << raised.err;

    ASSERT_TRUE(sandbox.waitFor("lct_log_all type=2 tag=LYRD event=ev ", 1, "LCT")) << sandbox.log();
    std::vector<std::string> dumps = sandbox.messages("Dump event ");
    ASSERT_EQ(1u, dumps.size()) << sandbox.log();
    std::string path = dumps[0].substr(std::string("Dump event ev to ").size());
    EXPECT_TRUE(std::regex_match(path, std::regex("/data/dumps/ev_20[0-9]{6}_[0-9]{6}/"))) << path;
    EXPECT_EQ("dumped\n", sandbox.exec({"cat", path + "out.txt"}).out);
    EXPECT_EQ(std::vector<std::string>{"Filelist: " + path + "out.txt;"},
              sandbox.messages("Filelist: "));
    std::string lct = "I/LCT(" + std::to_string(sandbox.pid()) +
                      "): lct_log_all type=2 tag=LYRD event=ev files=" + path + "out.txt; flags=0\n";
    EXPECT_NE(std::string::npos, sandbox.log().find(lct)) << lct;
}

// A record under the daemon's own tag is never matched: only the second dumps.
INSTANTIATE_TEST_SUITE_P(
        Sources, DumpSource,
        ::testing::Values(SourceCase{"Binder", "", "lyrdctl send ev"},
                          SourceCase{"LogBuffer", "global.logcat_grep=1\n",
                                     "log -t LyrDebugService \"$0\" && log -t app \"$0\""},
                          SourceCase{"Kmsg", "global.kmsg_grep=1\n", "echo \"$0\" >/dev/kmsg"},
                          SourceCase{"Uevent", "", "lyrdctl uevent LYRD_EVENT=ev_hint"}),
        [](const auto& info) { return std::string(info.param.name); });

struct LimitCase {
    const char* name;
    std::string settings, dataSize;
    size_t bigFileBytes;  // of a file put in the dump folder
    int sends;
    size_t dumps;
    std::string refusal;
};

class DumpLimit : public SandboxTest<::testing::TestWithParam<LimitCase>> {};

TEST_P(DumpLimit, RefusesTheDump) {
    const LimitCase& c = GetParam();
    Options options{c.dataSize, {}};
    if (c.bigFileBytes > 0) options.files = {{"/data/dumps/big", std::string(c.bigFileBytes, 'x')}};
    ASSERT_TRUE(sandbox.start(config(c.settings), options));
    for (int i = 0; i < c.sends; ++i) ASSERT_EQ("0\n", sandbox.send("ev"));

    ASSERT_TRUE(sandbox.waitFor(c.refusal)) << sandbox.log();
    EXPECT_EQ(c.dumps, sandbox.messages("Dump event ev to ").size());
    EXPECT_EQ(std::to_string(c.dumps) + "\n",
              sandbox.exec({"sh", "-c", "ls -d /data/dumps/ev_* 2>/dev/null | wc -l"}).out);
}

INSTANTIATE_TEST_SUITE_P(
        Limits, DumpLimit,
        ::testing::Values(LimitCase{"FreeSpace", "global.min_free_space=16\n", "8M", 0, 1, 0,
                                    "No enough space, MinFreeSpace: 16MB, CurrentFreeSpace: 8MB"},
                          LimitCase{"TreeSize", "global.max_dump_space=1\n", "", 2 << 20, 1, 0,
                                    "Log size is too large, MaxLogSize: 1MB, CurrentLogSize: 2MB"},
                          LimitCase{"OncePolicy", "event.ev.policy=once\n", "", 0, 2, 1,
                                    "Dump policy for event ev is ONCE, we already dumpped once"}),
        [](const auto& info) { return std::string(info.param.name); });

using Daemon = SandboxTest<>;

TEST_F(Daemon, CollectsAllButTheNewestDumpsAtStart) {
    Options options;
    for (std::string name : {"a_20260101_000000/f", "c_20260103_000000/f", "notes/f",
                             "b_20260102_000000/f", "z_20250101_000000"}) {
        options.files.push_back({"/data/dumps/" + name, "x"});
    }
    ASSERT_TRUE(sandbox.start(config("global.max_dump_count=2\n"), options));
    ASSERT_TRUE(sandbox.waitFor("LogGCThread: Finish garbage collection")) << sandbox.log();

    std::vector<std::string> removed = sandbox.messages("Remove cmd: ");
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ((std::vector<std::string>{"Remove cmd: rm -fr -- '/data/dumps/a_20260101_000000'",
                                        "Remove cmd: rm -fr -- '/data/dumps/z_20250101_000000'"}),
              removed);
    EXPECT_EQ("b_20260102_000000\nc_20260103_000000\nnotes\n",
              sandbox.exec({"ls", "/data/dumps"}).out);
}

TEST_F(Daemon, WrongTokenIsRefusedBeforeAnythingReachesTheDaemon) {
    ASSERT_TRUE(sandbox.start(config()));

    EXPECT_EQ("status=-1\n",
              sandbox.exec({"lyrdctl", "transact", "--code", "1", "--token", "wrong", "--name", "x"})
                      .out);
    EXPECT_EQ("0\n", sandbox.send("after"));
    ASSERT_TRUE(sandbox.waitFor("Invalid event received, after")) << sandbox.log();
    EXPECT_EQ(std::vector<std::string>{"Send event after thru lyrd service"},
              sandbox.messages("Send event "));
    EXPECT_EQ(1u, sandbox.messages("Invalid event").size());
}

TEST_F(Daemon, WithoutKeyWordThreadsRunsOnlyCollectionAndMonitor) {
    ASSERT_TRUE(sandbox.start(config()));
    std::vector<std::string> threads = {"sh", "-c", "grep -h ^LYRD /proc/$0/task/*/comm | sort",
                                        std::to_string(sandbox.pid())};
    const std::string expected = "LYRD LogGC\nLYRD Monitor\n";

    EXPECT_TRUE(eventually([&] { return run(threads).out == expected; }));
    EXPECT_EQ(expected, run(threads).out);
}

}  // namespace
}  // namespace lyrd_e2e
