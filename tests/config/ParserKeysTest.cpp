// What each section's keys do, and which state the copies of handlers and
// events capture.
#include <android/log.h>

#include "tests/config/ConfigTestSupport.h"

namespace ornak {
namespace xel {
namespace {

TEST_F(ConfigTest, GlobalKeys) {
    std::string extra = dir.write("extra.conf", "");
    EXPECT_EQ(0, parse(R"(global.log_dump_path=/data/lyr dumps
global.additional_conf_path=/no/such/file
global.logcat_grep=0x1
global.kmsg_grep= 0
global.max_dump_count=12abc
global.max_dump_space=4294967295
global.min_free_space=abc
)"));
    EXPECT_STREQ("/data/lyr dumps", service->mLogDumpPath.string());
    EXPECT_EQ(std::vector<std::string>{"mkdir -p '/data/lyr dumps'"}, shell.lines);
    EXPECT_STREQ("/no/such/file", service->mAdditionalConfPath.string());
    EXPECT_FALSE(service->mUseAdditionalConf);
    EXPECT_FALSE(service->mLogcatGrep);
    EXPECT_FALSE(service->mKmsgGrep);
    EXPECT_EQ(12, service->mMaxDumpCount);
    EXPECT_EQ(4294967295u, service->mMaxDumpSpace);
    EXPECT_EQ(0u, service->mMinFreeSpace);
    EXPECT_TRUE(log.records().empty());

    EXPECT_EQ(0, parse("global.additional_conf_path=" + extra + "\n"));
    EXPECT_TRUE(service->mUseAdditionalConf);
    EXPECT_TRUE(log.contains(ANDROID_LOG_DEBUG, "Use additional config file"));
}

TEST_F(ConfigTest, HandlerKeysReplaceValuesAndAppendParameters) {
    EXPECT_EQ(0, parse(R"(ghandler.g.init=echo on > /sys/a.b
ghandler.g.dump=cat first.txt
ghandler.g.dump=cat /proc/b.c
ghandler.g.on=-1
ghandler.g.level=-3
ghandler.g.epara=x
ghandler.g.dpara=y
ghandler.g.dpara=y
)"));
    const LyrDebugService::Handler& g = service->mGlobalHandlers[0];
    EXPECT_EQ(service.get(), g.mService);
    EXPECT_STREQ("echo on > /sys/a.b", g.mEnableCmd.string());
    EXPECT_STREQ("cat /proc/b.c", g.mDumpCmd.string());
    EXPECT_TRUE(g.mEnabled);
    EXPECT_EQ(-3, g.mLevel);
    EXPECT_EQ(1u, g.mEnableParas.size());
    EXPECT_EQ(2u, g.mDumpParas.size());
    EXPECT_TRUE(service->mHandlers.isEmpty());
}

TEST_F(ConfigTest, EventGroupAndMonitorKeys) {
    EXPECT_EQ(0, parse(R"(event.e.key_word=Kernel panic
event.e.policy=once
event.f.policy=ONCE
event.f.uevent=hang
event.x.policy=once more
evtgroup.g.event=e
evtgroup.g.events=f
evtgroup.g.event=e
monitor.m.enable=1
monitor.m.level=100
monitor.m.event=f
monitor.m.evtgroup=g
monitor.m.evtgroup=nobody
)"));
    EXPECT_EQ(0, service->mEvents[0].mPolicy);
    EXPECT_STREQ("Kernel panic", service->mEvents[0].mKeyWords[0].string());
    EXPECT_EQ(1, service->mEvents[1].mPolicy);
    EXPECT_EQ(1, service->mEvents[2].mPolicy);
    ASSERT_EQ(2u, service->mEventGroups[0].mEvents.size());
    const LyrDebugService::Monitor& m = service->mMonitors[0];
    EXPECT_TRUE(m.mEnabled);
    EXPECT_EQ(100, m.mLevel);
    ASSERT_EQ(2u, m.mEvents.size());
    EXPECT_STREQ("f", m.mEvents[0].mName.string());
    EXPECT_STREQ("e", m.mEvents[1].mName.string());
}

TEST_F(ConfigTest, CopiesHoldTheStateOfTheLineThatTakesThem) {
    EXPECT_EQ(0, parse(R"(handler.h.dump=before
handler.h.level=5
event.e.handler.h.on=1
handler.h.dump=after
event.e.uevent=u1
monitor.m.event=e
event.e.uevent=u2
event.e.handler.h.level=7
evtgroup.g.event=e
event.e.uevent=u3
monitor.m.evtgroup=g
monitor.m.event=e
)"));
    const LyrDebugService::Handler& templ = service->mHandlers[0];
    EXPECT_STREQ("after", templ.mDumpCmd.string());
    EXPECT_FALSE(templ.mEnabled);

    const LyrDebugService::Event& event = service->mEvents[0];
    ASSERT_EQ(1u, event.mHandlers.size());
    EXPECT_STREQ("before", event.mHandlers[0].mDumpCmd.string());
    EXPECT_TRUE(event.mHandlers[0].mEnabled);
    EXPECT_EQ(7, event.mHandlers[0].mLevel);
    EXPECT_EQ((std::vector<std::string>{"u1", "u2", "u3"}), uevents(event));

    const LyrDebugService::Event& grouped = service->mEventGroups[0].mEvents[0];
    EXPECT_EQ((std::vector<std::string>{"u1", "u2"}), uevents(grouped));

    // The monitor keeps its first copy; later ones are not taken.
    ASSERT_EQ(1u, service->mMonitors[0].mEvents.size());
    const LyrDebugService::Event& watched = service->mMonitors[0].mEvents[0];
    EXPECT_EQ(std::vector<std::string>{"u1"}, uevents(watched));
    EXPECT_EQ(5, watched.mHandlers[0].mLevel);
}

}  // namespace
}  // namespace xel
}  // namespace ornak
