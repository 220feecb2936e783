// The status report, byte for byte.
#include "tests/config/ConfigTestSupport.h"

namespace ornak {
namespace xel {
namespace {

std::string settingLines(const std::string& configPath, const char* dumpPath, const char* space) {
    return "Config File Path: " + configPath + "\nLog Dump Path: " + dumpPath +
           "\nAdditional Config Path: \nEnable Logcat Grep: 1\nEnable Kmsg Grep: 1\n"
           "MaxEventsDumped: 10\nMaxLogSize: " +
           space + "MB\nMinFreeSpace: 512MB\n";
}

TEST_F(ConfigTest, ReportShowsGlobalHandlersMonitorsEventCopiesAndHistory) {
    ASSERT_EQ(0, parse(R"(global.log_dump_path=/data/lyr
global.max_dump_space=4294967295
ghandler.g.init=setprop a 1
ghandler.g.on=1
ghandler.g.epara=x
ghandler.g.epara=y
handler.h.dump=logcat -d
handler.h.dpara=-b main
handler.h.dpara=-b radio
event.e.uevent=u1
event.e.uevent=u2
event.e.handler.h.level=5
monitor.m.enable=1
monitor.m.level=7
monitor.m.event=e
monitor.n.level=3
)"));
    service->mHistory.add({String8("e"), String8("e_1")});
    service->mHistory.add({String8("f"), String8("f_2")});

    std::string expected = settingLines(emptyConfig, "/data/lyr", "-1") +
                           "Global handlers:\n"
                           "    Name: g\n"
                           "    Level: 100\n"
                           "    Enable cmd: setprop a 1\n"
                           "    Enable Para 0: x\n"
                           "    Enable Para 1: y\n"
                           "    Enabled: 1\n"
                           "Monitor: m, Enabled: 1, Level: 7\n"
                           "    Event: e, Policy: 1, Dump 0 times\n"
                           "    Uevent hints: u1, u2, \n"
                           "    Key words: \n"
                           "    Handlers: \n"
                           "        Name: h\n"
                           "        Level: 5\n"
                           "        Dump cmd: logcat -d\n"
                           "        Dump Para 0: -b main\n"
                           "        Dump Para 1: -b radio\n"
                           "        Enabled: 0\n"
                           "Monitor: n, Enabled: 0, Level: 3\n"
                           "History events:    e e_1    f f_2";
    EXPECT_EQ(expected, service->dumpStatus().string());
}

TEST(HandlerStatusText, DepthZeroOrBelowHasNoPrefix) {
    LyrDebugService::Handler handler;
    handler.mName = "h";
    EXPECT_STREQ("Name: h\nLevel: 100\n", handler.statusText(0).string());
    EXPECT_STREQ("Name: h\nLevel: 100\n", handler.statusText(-2).string());
}

}  // namespace
}  // namespace xel
}  // namespace ornak
