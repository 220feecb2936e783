// Many clients sending at once: every name arrives once, whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

using Storm = SandboxTest<>;

constexpr int kClients = 8;
constexpr int kCallsEach = 125;
constexpr int kDumpEvery = 25;  // of a client's calls send the configured event

TEST_F(Storm, EveryEventOfConcurrentClientsIsAccountedFor) {
    // Dumps that take a while let names pile up in the channel meanwhile.
    ASSERT_TRUE(sandbox.start(
            "global.log_dump_path=/data/dumps\nglobal.logcat_grep=0\nglobal.kmsg_grep=0\n"
            "ghandler.slow.dump=sleep 0.1\nghandler.slow.level=0\nghandler.slow.on=1\n"
            "monitor.m.enable=1\nevent.ev.policy=always\n"));
    // Each client prints only the replies that are not 0.
    Result storm = sandbox.exec(
            {"sh", "-c",
             "c=0; while [ $c -lt $0 ]; do (i=0; while [ $i -lt $1 ]; do\n"
             "  n=storm_${c}_$i; [ $((i % $2)) -eq 0 ] && n=ev\n"
             "  r=$(lyrdctl send $n); [ \"$r\" = 0 ] || echo \"$n: $r\"; i=$((i + 1)); done) &\n"
             "  c=$((c + 1)); done; wait",
             std::to_string(kClients), std::to_string(kCallsEach), std::to_string(kDumpEvery)});
    ASSERT_EQ(0, storm.status) << storm.err;
    EXPECT_EQ("", storm.out);

    // Names are handled in the order they arrive, so this one comes last.
    ASSERT_EQ("0\n", sandbox.send("after_storm")) << "the daemon still answers";
    ASSERT_TRUE(sandbox.waitFor("Invalid event received, after_storm")) << sandbox.log();
    std::vector<std::string> expected = {"Invalid event received, after_storm"};
    for (int c = 0; c < kClients; ++c) {
        for (int i = 0; i < kCallsEach; ++i) {
            if (i % kDumpEvery != 0) {
                expected.push_back("Invalid event received, storm_" + std::to_string(c) + "_" +
                                   std::to_string(i));
            }
        }
    }
    std::vector<std::string> refused = sandbox.messages("Invalid event received, ");
    std::sort(expected.begin(), expected.end());
    std::sort(refused.begin(), refused.end());
    EXPECT_EQ(expected, refused);
    EXPECT_EQ(static_cast<size_t>(kClients * kCallsEach / kDumpEvery),
              sandbox.messages("Dump event ev to ").size());
    EXPECT_EQ(static_cast<size_t>(kClients * kCallsEach + 1),
              sandbox.messages("Send event ").size());
}

}  // namespace
}  // namespace lyrd_e2e
