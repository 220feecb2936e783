// Every way a line can fail, with the exact messages in order.
#include <android/log.h>

#include "tests/config/ConfigTestSupport.h"

namespace ornak {
namespace xel {
namespace {

struct FailureCase {
    const char* config;
    // "@N" stands for "Config file parsing error at line N: " and the last
    // line of config, the one that fails.
    std::vector<std::string> messages;
    int shellResult = 0;
};

const FailureCase kFailures[] = {
        {"...", {"@940"}},
        {"global.", {"@676", "@945"}},
        {"global.foo=1\n", {"Unknown key word foo=1\n in global section", "@945"}},
        {"global.max_dump_count=\n",
         {"Invalid line in config file: global.max_dump_count=\n", "Set value failed at line 713",
          "@945"}},
        {"global.log_dump_path=/x y\n", {"Failed to create log dump dir /x y", "@945"}, -1},
        {"ghandler.", {"@950"}},
        {"handler.", {"@961"}},
        {"event.", {"@972"}},
        {"evtgroup.", {"@983"}},
        {"monitor.", {"@994"}},
        {"ghandler.g", {"@738", "@956"}},
        {"handler.h.bogus=1\n", {"Unknown key word bogus=1\n in handler section", "@967"}},
        {"ghandler.g.dump cat\n",
         {"Invalid line in config file: ghandler.g.dump cat\n", "Set value failed at line 746",
          "@956"}},
        {"event.e", {"@781", "@978"}},
        {"event.e.what=1\n", {"Unknown key word what=1\n in event section", "@978"}},
        {"event.e.policy=\"\"\n",
         {"Invalid line in config file: event.e.policy=\"\"\n", "Set value failed at line 812",
          "@978"}},
        {"event.e.handler", {"@786", "@978"}},
        {"ghandler.g.on=1\nevent.e.handler.g.on=1\n", {"@792", "@978"}},
        {"handler.h.on=1\nevent.e.handler.h", {"@738", "@797", "@978"}},
        {"handler.h.on=1\nevent.e.handler.h.x=1\n",
         {"Unknown key word x=1\n in handler section", "@797", "@978"}},
        {"handler.h.on=1\nevent.e.handler.h.level= \n",
         {"Invalid line in config file: event.e.handler.h.level= \n",
          "Set value failed at line 754", "@797", "@978"}},
        {"evtgroup.g", {"@830", "@989"}},
        {"evtgroup.g.monitor=m\n", {"Unknown key word monitor=m\n in event group section", "@989"}},
        {"evtgroup.g.event=\n",
         {"Invalid line in config file: evtgroup.g.event=\n", "Set value failed at line 834",
          "@989"}},
        {"evtgroup.g.event=nope\n", {"@838", "@989"}},
        {"monitor.m", {"@856", "@1000"}},
        {"monitor.m.foo=1\n", {"Unknown key word foo=1\n in monitor section", "@1000"}},
        {"monitor.m.evtgroup\n",
         {"Invalid line in config file: monitor.m.evtgroup\n", "Set value failed at line 879",
          "@1000"}},
        {"monitor.m.event=nope\n", {"@872", "@1000"}},
};

std::string lastLine(const std::string& config) {
    size_t end = config.size() - (config.back() == '\n' ? 1 : 0);
    size_t start = config.rfind('\n', end - 1);
    return config.substr(start == std::string::npos ? 0 : start + 1);
}

TEST_F(ConfigTest, EachFailureLogsItsMessagesInOrderAndFailsTheParse) {
    for (const FailureCase& c : kFailures) {
        service = new LyrDebugService(emptyConfig.c_str(), shell);
        shell.result = c.shellResult;
        log.clear();
        std::vector<lyrd_test::LogRecord> expected;
        for (const std::string& message : c.messages) {
            std::string text = message;
            if (message[0] == '@') {
                text = "Config file parsing error at line " + message.substr(1) + ": " +
                       lastLine(c.config);
            }
            expected.push_back({ANDROID_LOG_ERROR, "LyrDebugService", text});
        }
        EXPECT_EQ(android::BAD_VALUE, parse(c.config)) << c.config;
        EXPECT_EQ(expected, log.records()) << c.config;
    }
}

TEST_F(ConfigTest, FailingLineKeepsEarlierLinesAndItsOwnRecordAndStopsTheParse) {
    EXPECT_EQ(android::BAD_VALUE, parse(R"(global.max_dump_count=3
monitor.m.event=nope
global.max_dump_count=4
)"));
    EXPECT_EQ(3, service->mMaxDumpCount);
    ASSERT_EQ(1u, service->mMonitors.size());
    EXPECT_STREQ("m", service->mMonitors[0].mName.string());
}

}  // namespace
}  // namespace xel
}  // namespace ornak
