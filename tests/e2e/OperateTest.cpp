// Operating the daemon: handler commands with a time limit.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lyrd_e2e
