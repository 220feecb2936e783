// Operating the daemon: handler commands with a time limit, and its state
// on demand.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

using Operate = SandboxTest<>;

// Without the limit, the first dump would hold the monitor thread for ten
// minutes and the second event would wait as long.
TEST_F(Operate, AHungHandlerWithALimitNoLongerStallsLaterEvents) {
    ASSERT_TRUE(sandbox.start(R"(global.log_dump_path=/data/dumps
global.logcat_grep=0
global.kmsg_grep=0
global.handler_timeout=1
handler.hung.dump=sleep 600
handler.hung.level=0
handler.hung.on=1
event.stuck.handler.hung.on=1
event.next.policy=always
monitor.m.enable=1
monitor.m.event=stuck
monitor.m.event=next
)"));
    EXPECT_EQ("0\n", sandbox.send("stuck"));
    EXPECT_EQ("0\n", sandbox.send("next"));
    ASSERT_TRUE(sandbox.waitFor("Filelist: ", 2)) << sandbox.log();
    EXPECT_EQ(std::vector<std::string>{"Handler command timed out after 1 s: sleep 600"},
              sandbox.messages("Handler command timed out"));
    EXPECT_EQ(1u, sandbox.messages("Dump event next to ").size()) << sandbox.log();
}

// What dumpsys shows on a device: the report reaches lyrdctl's standard
// output through the descriptor it passes.
TEST_F(Operate, DumpShowsTheServiceStateAfterAFewEvents) {
    ASSERT_TRUE(sandbox.start(R"(global.log_dump_path=/data/dumps
global.logcat_grep=0
global.kmsg_grep=0
event.once.policy=once
event.other.policy=always
monitor.m.enable=1
monitor.m.event=once
monitor.m.event=other
)"));
    for (const char* name : {"once", "once", "nobody"}) EXPECT_EQ("0\n", sandbox.send(name));
    ASSERT_TRUE(sandbox.waitFor("Invalid event received, nobody")) << sandbox.log();

    Result dump = sandbox.exec({"lyrdctl", "dump"});
    ASSERT_EQ(0, dump.status) << dump.err;
    std::string stamp = "_[0-9]{8}_[0-9]{6}";
    std::regex expected(
            "service: started\n"
            "threads: LogGC running, Logcat Detect not created, "
            "Kmsg Detect not created, Monitor running\n"
            "names received: binder 3, log buffers 0, kmsg 0, uevents 0\n"
            "collection: [0-9]+ passes, 0 folders removed\n"
            "event once: dumps=1 refused=1 last=/data/dumps/once" +
            stamp +
            "/\n"
            "event other: dumps=0 refused=0 last=-\n"
            "newest dumps \\(at most 50, newest first\\):\n"
            "    once once" +
            stamp + "\n");
    EXPECT_TRUE(std::regex_match(dump.out, expected)) << dump.out;
}

}  // namespace
}  // namespace lyrd_e2e
