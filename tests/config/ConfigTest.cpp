// The parser and the status report; the fixture's shell only records lines.
#include <android/log.h>
#include <stdint.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace ornak {
namespace xel {
namespace {

using Strings = std::vector<std::string>;

class ConfigTest : public ::testing::Test, public SystemCalls {
  protected:
    ConfigTest() { mLog.clear(); }

    int runShell(const char* line) override {
        mLines.push_back(line);
        return mShellResult;
    }
    status_t parse(const std::string& text) {
        return mService->parseConfigFile(mDir.write("c.conf", text).c_str());
    }
    // The service's records as logcat shows them: "<priority letter> <message>".
    Strings logged() const {
        Strings out;
        for (const auto& r : mLog.records("LyrDebugService"))
            out.push_back("??VDIWEF"[r.prio] + (" " + r.message));
        return out;
    }

    Strings mLines;
    int mShellResult = 0;
    lyrd_test::TempDir mDir;
    lyrd_test::LogCapture mLog;
    sp<LyrDebugService> mService = new LyrDebugService("/dev/null", *this);
};

// "@N" stands for "Config file parsing error at line N: <failing line>", and
// "!N" for the two messages of an invalid value whose site is N.
TEST_F(ConfigTest, EachFailingLineLogsItsMessagesInOrderAndEndsTheParse) {
    const std::pair<std::string, std::string> cases[] = {
            {"...", "@940"},
            {"global.", "@676|@945"},
            {"global.foo=1\n", "Unknown key word foo=1\n in global section|@945"},
            {"global.max_dump_count=\n", "!713|@945"},
            {"global.log_dump_path=/x y\n", "Failed to create log dump dir /x y|@945"},
            {"ghandler.", "@950"},
            {"handler.", "@961"},
            {"event.", "@972"},
            {"evtgroup.", "@983"},
            {"monitor.", "@994"},
            {"ghandler.g", "@738|@956"},
            {"handler.h.bogus=1\n", "Unknown key word bogus=1\n in handler section|@967"},
            {"event.e", "@781|@978"},
            {"event.e.what=1\n", "Unknown key word what=1\n in event section|@978"},
            {"event.e.handler", "@786|@978"},
            {"ghandler.g.on=1\nevent.e.handler.g.on=1\n", "@792|@978"},
            {"handler.h.on=1\nevent.e.handler.h.level= \n", "!754|@797|@978"},
            {"evtgroup.g", "@830|@989"},
            {"evtgroup.g.monitor=m\n", "Unknown key word monitor=m\n in event group section|@989"},
            {"evtgroup.g.event=nope\n", "@838|@989"},
            {"monitor.m", "@856|@1000"},
            {"monitor.m.foo=1\n", "Unknown key word foo=1\n in monitor section|@1000"},
            {"monitor.m.evtgroup\n", "!879|@1000"},
            {"monitor.m.event=nope\n", "@872|@1000"},
    };
    mShellResult = -1;
    for (const auto& [config, messages] : cases) {
        mService = new LyrDebugService("/dev/null", *this);
        mLog.clear();
        std::string line = config.substr(config.rfind('\n', config.size() - 2) + 1);
        Strings expected;
        std::istringstream in(messages);
        for (std::string m; std::getline(in, m, '|');) {
            if (m[0] == '@') m = "Config file parsing error at line " + m.substr(1) + ": " + line;
            if (m[0] == '!') expected.push_back("E Invalid line in config file: " + line);
            if (m[0] == '!') m = "Set value failed at line " + m.substr(1);
            expected.push_back("E " + m);
        }
        EXPECT_EQ(android::BAD_VALUE, parse(config)) << config;
        EXPECT_EQ(expected, logged()) << config;
    }

    mService = new LyrDebugService("/dev/null", *this);
    EXPECT_EQ(android::BAD_VALUE,
              parse("global.max_dump_count=3\nmonitor.m.event=x\nglobal.max_dump_count=4\n"));
    EXPECT_EQ(3, mService->mMaxDumpCount);
    EXPECT_EQ(1u, mService->mMonitors.size()) << "the failing line's record stays";
    EXPECT_EQ(INT32_MIN, mService->parseConfigFile("/no/such.conf"));
    EXPECT_EQ("E Failed to open config file /no/such.conf", logged().back());
}

TEST_F(ConfigTest, ValueRule) {
    const std::pair<std::string, std::string> cases[] = {
            // "!": the line is invalid
            {"k =  20  \n", "20"},  {"k=a=b.c\n", "a=b.c"},
            {"k=\tv\n", "\tv"},     {"k=\"  a b  \"\n", "  a b"},
            {"k=\"   \"\n", ""},    {"k=\"\"\n", "!"},
            {"k=\"\n", "!"},        {"k=\"abc\"  \n", "!"},
            {"k=\"abc\"\r\n", "!"}, {"k=   \n", "!"},
            {"kv\n", "!"},          {"k=v\r\n", "v\r"},
    };
    for (const auto& [line, value] : cases) {
        mLog.clear();
        String8 got("stale");
        bool valid = value != "!";
        EXPECT_EQ(valid ? 0 : -1, mService->getConfigValue(line.c_str(), got)) << line;
        EXPECT_EQ(valid ? value : "", got.string()) << line;
        EXPECT_EQ(valid ? Strings{} : Strings{"E Invalid line in config file: " + line}, logged());
    }
}

// The report from the line that begins with first up to, not including,
// the line that begins with next, or to its end (no line of it is empty).
std::string reportPart(const std::string& report, const std::string& first,
                       const std::string& next = "\n") {
    size_t from = report.rfind(first, 0) == 0 ? 0 : report.find("\n" + first) + 1;
    size_t to = report.find("\n" + next, from);
    return report.substr(from, to == std::string::npos ? std::string::npos : to + 1 - from);
}

// Lines of up to 1023 bytes count; "0x1" and "12abc" read as numbers do.
TEST_F(ConfigTest, GlobalLinesShowInTheReport) {
    std::string used = "global.min_free_space=9", skipped = "global.max_dump_count=7";
    used += std::string(1022 - used.size(), ' ') + "\n";
    skipped += std::string(1023 - skipped.size(), ' ') + "\n";
    ASSERT_EQ(0, parse(R"(global.log_dump_path=/data/lyr dumps
global.additional_conf_path=/no/such/file
global.logcat_grep=0x1
global.max_dump_count=12abc
global.max_dump_space=4294967295
)" + used + skipped + "global.kmsg_grep= 0"));
    EXPECT_EQ(R"(Config File Path: /dev/null
Log Dump Path: /data/lyr dumps
Additional Config Path: /no/such/file
Enable Logcat Grep: 0
Enable Kmsg Grep: 0
MaxEventsDumped: 12
MaxLogSize: -1MB
MinFreeSpace: 9MB
)",
              reportPart(mService->dumpStatus().string(), "Config File Path", "History events"));
    EXPECT_EQ(Strings{"mkdir -p -- '/data/lyr dumps'"}, mLines);
    EXPECT_FALSE(mService->mUseAdditionalConf);
}

// A section word that is not one is an error; a comment, a line without a
// dot or an empty line is skipped silently. Neither changes a setting.
TEST_F(ConfigTest, LinesThatAreNoSettingAreLoggedOrSkipped) {
    std::string unchanged = mService->dumpStatus().string();
    ASSERT_EQ(0, parse(R"(globals.max_dump_count=1
global .max_dump_count=2
#global.kmsg_grep=0
 //global.kmsg_grep=0
//global.max_dump_space=5
global max_dump_space=6

)"));
    EXPECT_EQ((Strings{"E Config file parsing error: globals.max_dump_count=1\n",
                       "E Config file parsing error: global .max_dump_count=2\n",
                       "E Config file parsing error: #global.kmsg_grep=0\n",
                       "E Config file parsing error:  //global.kmsg_grep=0\n"}),
              logged());
    EXPECT_EQ(unchanged, mService->dumpStatus().string());
}

// Words match section and key words by their beginning, and the words of a
// line may be split by more than one dot.
TEST_F(ConfigTest, SectionAndKeyWordsMatchByTheirBeginning) {
    ASSERT_EQ(0, parse(R"(ghandlers . g.init=setprop a=1 b.c
ghandler. g.online=-1
..ghandler.. g.epara=x
ghandler. g.epara=x
eventgroup.e.policyX=once
)"));
    EXPECT_EQ(R"(Global handlers:
    Name:  g
    Level: 100
    Enable cmd: setprop a=1 b.c
    Enable Para 0: x
    Enable Para 1: x
    Enabled: 1
)",
              reportPart(mService->dumpStatus().string(), "Global handlers", "History events"));
    ASSERT_EQ(1u, mService->mEvents.size());
    EXPECT_EQ(LyrDebugService::Event::kPolicyOnce, mService->mEvents[0].mPolicy);
}

// A copy takes its source as it stands at the line that takes it: later
// lines for the handler or the event change the source, not the copy.
TEST_F(ConfigTest, ACopyTakesItsSourceAsItStandsAtTheCopyingLine) {
    ASSERT_EQ(0, parse(R"(handler.h.dump=before
handler.h.level=5
handler.h.dpara=-b main
event.e.handler.h.on=1
handler.h.dump=after
event.e.uevent=u1
event.e.key_word=Kernel panic
event.e.policy=once
monitor.m.event=e
event.e.uevent=u2
event.e.handler.h.dpara=-b radio
monitor.m.enable=1
monitor.m.level=7
monitor.m.event=e
monitor.n.level=3
)"));
    EXPECT_EQ(R"(Monitor: m, Enabled: 1, Level: 7
    Event: e, Policy: 0, Dump 0 times
    Uevent hints: u1, 
    Key words: Kernel panic, 
    Handlers: 
        Name: h
        Level: 5
        Dump cmd: before
        Dump Para 0: -b main
        Enabled: 1
Monitor: n, Enabled: 0, Level: 3
)",
              reportPart(mService->dumpStatus().string(), "Monitor: m", "History events"));
}

// A group holds each event once; a monitor takes the group's events it
// does not hold yet, and a group nobody defined gives it nothing.
TEST_F(ConfigTest, GroupsHoldEachEventOnceAndMonitorsAddTheirEvents) {
    ASSERT_EQ(0, parse(R"(event.e.uevent=u1
event.f.policy=ONCE
evtgroup.g.event=e
evtgroup.g.events=f
evtgroup.g.event=e
event.f.uevent=late
monitor.m.event=e
monitor.m.evtgroup=g
monitor.m.evtgroup=nobody
)"));
    EXPECT_EQ(2u, mService->mEventGroups[0].mEvents.size());
    EXPECT_EQ(R"(Monitor: m, Enabled: 0, Level: 0
    Event: e, Policy: 1, Dump 0 times
    Uevent hints: u1, 
    Key words: 
    Handlers: 
    Event: f, Policy: 1, Dump 0 times
    Uevent hints: 
    Key words: 
    Handlers: 
)",
              reportPart(mService->dumpStatus().string(), "Monitor: m", "History events"));
}

TEST_F(ConfigTest, TheHistoryEndsTheReport) {
    mService->mHistory.add({String8("e"), String8("e_1")});
    mService->mHistory.add({String8("f"), String8("f_2")});
    EXPECT_EQ("History events:    e e_1    f f_2",
              reportPart(mService->dumpStatus().string(), "History events"));
}

// A report without the two limits reads exactly as before they existed.
TEST_F(ConfigTest, TheTwoLimitsReadAsNumbersAndShowInTheReportOnlyWhenSet) {
    ASSERT_EQ(0, parse("global.handler_timeout= 30s\nevent.e.min_interval=90\n"
                       "event.f.policy=always\nmonitor.m.event=e\nmonitor.m.event=f\n"));
    EXPECT_EQ(30, mService->mHandlerTimeout);
    EXPECT_EQ(90, mService->mEvents[0].mMinInterval);
    std::string report = mService->dumpStatus().string();
    EXPECT_NE(std::string::npos,
              report.find("MinFreeSpace: 512MB\nHandlerTimeout: 30s\nMonitor: m"));
    EXPECT_NE(std::string::npos,
              report.find("Dump 0 times\n    MinInterval: 90s\n    Uevent hints: \n"));
    EXPECT_EQ(report.find("MinInterval"), report.rfind("MinInterval")) << "only e has one";

    const std::pair<std::string, std::string> invalid[] = {
            {"global.handler_timeout=\n", "Set value failed at line 725"},
            {"event.e.min_interval=\n", "Set value failed at line 816"},
    };
    for (const auto& [line, message] : invalid) {
        mService = new LyrDebugService("/dev/null", *this);
        mLog.clear();
        EXPECT_EQ(android::BAD_VALUE, parse(line));
        EXPECT_EQ("E " + message, logged().at(1)) << line;
    }
}

// The main file, then the additional one it names, and never a third.
TEST_F(ConfigTest, StartUpReadsTheAdditionalFileButNoThird) {
    std::string third = mDir.write("third", "global.max_dump_count=3\n");
    std::string extra = mDir.write(
            "extra", "global.max_dump_count=2\nglobal.additional_conf_path=" + third + "\n");
    mService = new LyrDebugService(
            mDir.write("main", "global.additional_conf_path=" + extra + "\n").c_str(), *this);
    EXPECT_EQ(2, mService->mMaxDumpCount);
    Strings log = logged();
    EXPECT_EQ(2, std::count(log.begin(), log.end(), "D Use additional config file"));
}

// A directory opens like a file but cannot be read: no empty configuration.
TEST_F(ConfigTest, AFileThatCannotBeReadFailsLikeALineThatCannotBeApplied) {
    EXPECT_EQ(android::BAD_VALUE, mService->parseConfigFile(mDir.path().c_str()));
    EXPECT_EQ(Strings{"E Failed to read config file " + mDir.path() + ", Is a directory"}, logged());

    for (const std::string& main :
         {mDir.path(), mDir.write("main", "global.additional_conf_path=" + mDir.path() +
                                                  "\n"
                                                  "monitor.m.enable=1\n")}) {
        mLog.clear();
        mService = new LyrDebugService(main.c_str(), *this);
        EXPECT_EQ("E Failed to parse config file", logged().back()) << main;
        EXPECT_EQ(1, mService->mStopped.load());
    }
}

// A command smuggled into the path would leave a witness file behind.
TEST_F(ConfigTest, LogDumpPathReachesTheShellAsOneLiteralWord) {
    mService = new LyrDebugService("/dev/null", SystemCalls::real());
    std::string w = mDir.file("w"), path = mDir.file("a b'c;touch " + w + "$(touch " + w + ")");
    EXPECT_EQ(0, parse("global.log_dump_path=" + path + "\n"));
    EXPECT_EQ(0, access(path.c_str(), F_OK));
    EXPECT_NE(0, access(w.c_str(), F_OK));

    // A relative path that begins with "-" is no option of mkdir.
    std::string cwd = std::filesystem::current_path();
    ASSERT_EQ(0, chdir(mDir.path().c_str()));
    EXPECT_EQ(0, parse("global.log_dump_path=-made\n"));
    EXPECT_EQ(0, chdir(cwd.c_str()));
    EXPECT_EQ(0, access(mDir.file("-made").c_str(), F_OK));
}

}  // namespace
}  // namespace xel
}  // namespace ornak
