// The status report of a real configuration, as lyrd prints it at start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

const char kRule[] = "--------------------------------------------";

// The LyrDebugService messages between the two hyphen rules.
std::vector<std::string> reportLines(const std::vector<std::string>& messages) {
    auto first = std::find(messages.begin(), messages.end(), kRule);
    if (first == messages.end()) return {};
    auto last = std::find(first + 1, messages.end(), kRule);
    return std::vector<std::string>(first + 1, last);
}

TEST(StatusReport, RealConfigurationIsPrintedLineByLine) {
    LYRD_REQUIRE_SANDBOX();
    Sandbox sandbox;
    ASSERT_TRUE(sandbox.start(R"(// Dumps go to the data partition.
global.log_dump_path=/data/lyrd/dumps
global.max_dump_count=5
global.max_dump_space=4294967295
global.min_free_space = 16
global.logcat_grep=0
global.kmsg_grep=0

ghandler.meminfo.dump=cat /proc/meminfo > meminfo.txt
ghandler.meminfo.level=0
ghandler.meminfo.on=1
ghandler.uptime.init=echo ready
ghandler.uptime.dump="  cat /proc/uptime > uptime.txt"

handler.logs.dump=logcat -d -b
handler.logs.dpara=main > main.txt
handler.logs.dpara=system > system.txt
handler.logs.level=20
handler.logs.on=1

event.display_hang.uevent=display_hang
event.display_hang.key_word=HWC hang
event.display_hang.key_word=vsync timeout
event.display_hang.policy=once
event.display_hang.handler.logs.on=1
event.modem_crash.uevent=modem
event.modem_crash.handler.logs.level=50

evtgroup.graphics.event=display_hang
monitor.main.enable=1
monitor.main.level=30
monitor.main.evtgroup=graphics
monitor.main.event=modem_crash
monitor.spare.event=display_hang
)"));
    ASSERT_TRUE(sandbox.waitForMessage("LYR debug service started")) << sandbox.logText();

    const std::vector<std::string> expected = {
            "Config File Path: /system/vendor/etc/lyrdebug.conf",
            "Log Dump Path: /data/lyrd/dumps",
            "Additional Config Path: ",
            "Enable Logcat Grep: 0",
            "Enable Kmsg Grep: 0",
            "MaxEventsDumped: 5",
            "MaxLogSize: -1MB",
            "MinFreeSpace: 16MB",
            "Global handlers:",
            "    Name: meminfo",
            "    Level: 0",
            "    Dump cmd: cat /proc/meminfo > meminfo.txt",
            "    Enabled: 1",
            "    Name: uptime",
            "    Level: 100",
            "    Enable cmd: echo ready",
            "    Dump cmd:   cat /proc/uptime > uptime.txt",
            "    Enabled: 0",
            "Monitor: main, Enabled: 1, Level: 30",
            "    Event: display_hang, Policy: 0, Dump 0 times",
            "    Uevent hints: display_hang, ",
            "    Key words: HWC hang, vsync timeout, ",
            "    Handlers: ",
            "        Name: logs",
            "        Level: 20",
            "        Dump cmd: logcat -d -b",
            "        Dump Para 0: main > main.txt",
            "        Dump Para 1: system > system.txt",
            "        Enabled: 1",
            "    Event: modem_crash, Policy: 1, Dump 0 times",
            "    Uevent hints: modem, ",
            "    Key words: ",
            "    Handlers: ",
            "        Name: logs",
            "        Level: 50",
            "        Dump cmd: logcat -d -b",
            "        Dump Para 0: main > main.txt",
            "        Dump Para 1: system > system.txt",
            "        Enabled: 1",
            "Monitor: spare, Enabled: 0, Level: 0",
            "    Event: display_hang, Policy: 0, Dump 0 times",
            "    Uevent hints: display_hang, ",
            "    Key words: HWC hang, vsync timeout, ",
            "    Handlers: ",
            "        Name: logs",
            "        Level: 20",
            "        Dump cmd: logcat -d -b",
            "        Dump Para 0: main > main.txt",
            "        Dump Para 1: system > system.txt",
            "        Enabled: 1",
    };
    EXPECT_EQ(expected, reportLines(sandbox.messages())) << sandbox.logText();
    EXPECT_EQ(0, sandbox.exec({"test", "-d", "/data/lyrd/dumps"}).status)
            << "log_dump_path is created at parse time";
}

}  // namespace
}  // namespace lyrd_e2e
