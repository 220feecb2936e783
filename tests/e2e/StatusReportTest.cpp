// The status report of a real configuration, as lyrd prints it at start-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

using StatusReport = SandboxTest<>;

TEST_F(StatusReport, RealConfigurationIsPrintedLineByLine) {
    ASSERT_TRUE(sandbox.start(R"(global.log_dump_path=/data/lyrd/dumps
global.max_dump_space=4294967295
global.min_free_space = 16
global.logcat_grep=0
global.kmsg_grep=0
ghandler.uptime.init=echo ready
ghandler.uptime.dump="  cat /proc/uptime > uptime.txt"
ghandler.uptime.on=1
handler.logs.dump=logcat -d -b
handler.logs.dpara=main > main.txt
handler.logs.dpara=system > system.txt
handler.logs.level=20
handler.logs.on=1
event.display_hang.uevent=display_hang
event.display_hang.key_word=HWC hang
event.display_hang.key_word=vsync timeout
event.display_hang.policy=once
event.display_hang.handler.logs.level=30
evtgroup.graphics.event=display_hang
monitor.main.enable=1
monitor.main.level=30
monitor.main.evtgroup=graphics
monitor.spare.level=7
)"));
    ASSERT_TRUE(sandbox.waitFor("LYR debug service started")) << sandbox.log();

    const std::vector<std::string> expected = {
            "Start parsing config",
            "Parsing config succeed, start dump config...",
            "--------------------------------------------",
            "Config File Path: /system/vendor/etc/lyrdebug.conf",
            "Log Dump Path: /data/lyrd/dumps",
            "Additional Config Path: ",
            "Enable Logcat Grep: 0",
            "Enable Kmsg Grep: 0",
            "MaxEventsDumped: 10",
            "MaxLogSize: -1MB",
            "MinFreeSpace: 16MB",
            "Global handlers:",
            "    Name: uptime",
            "    Level: 100",
            "    Enable cmd: echo ready",
            "    Dump cmd:   cat /proc/uptime > uptime.txt",
            "    Enabled: 1",
            "Monitor: main, Enabled: 1, Level: 30",
            "    Event: display_hang, Policy: 0, Dump 0 times",
            "    Uevent hints: display_hang, ",
            "    Key words: HWC hang, vsync timeout, ",
            "    Handlers: ",
            "        Name: logs",
            "        Level: 30",
            "        Dump cmd: logcat -d -b",
            "        Dump Para 0: main > main.txt",
            "        Dump Para 1: system > system.txt",
            "        Enabled: 1",
            "Monitor: spare, Enabled: 0, Level: 7",
            "--------------------------------------------",
    };
    std::vector<std::string> logged = sandbox.messages();
    logged.resize(expected.size());
    EXPECT_EQ(expected, logged) << sandbox.log();
    EXPECT_EQ(0, sandbox.exec({"test", "-d", "/data/lyrd/dumps"}).status)
            << "log_dump_path is created at parse time";
}

}  // namespace
}  // namespace lyrd_e2e
