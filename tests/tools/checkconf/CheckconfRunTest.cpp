// lyrd-checkconf as a program: its exit status, the additional file, the
// status report beside the daemon's, and that checking changes nothing.
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CheckconfRun.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"

namespace checkconf {
namespace {

using ornak::xel::LyrDebugService;
using ornak::xel::SystemCalls;

constexpr const char kClean[] = "global.log_dump_path=/data/d\nmonitor.m.enable=1\n";

TEST(CheckconfRun, ExitStatusTellsErrorsWarningsAndUsage) {
    struct Case {
        Lines args;  // "FILE" becomes a file holding config
        std::string config;
        int status;
        std::string err;  // the start of standard error
    };
    const Case cases[] = {
            {{"FILE"}, kClean, 0, ""},
            {{"--werror", "FILE"}, kClean, 0, ""},
            {{"FILE"}, std::string(kClean) + "global.max_dump_space=0\n", 0, ""},
            {{"FILE", "--werror"}, std::string(kClean) + "global.max_dump_space=0\n", 1, ""},
            {{"FILE"}, std::string(kClean) + "monitor.m.level=\n", 1, ""},
            {{"--help"}, "", 0, ""},
            {{}, "", 2, "lyrd-checkconf: a configuration file is needed\nusage:"},
            {{"--bogus", "FILE"}, kClean, 2, "lyrd-checkconf: unknown option: --bogus\nusage:"},
            {{"FILE", "FILE"}, kClean, 2, "lyrd-checkconf: one configuration file only\n"},
            {{"FILE", "--additional"}, kClean, 2, "lyrd-checkconf: --additional needs a file\n"},
            {{"no.conf"}, "", 2, "lyrd-checkconf: cannot read no.conf: No such file or directory"},
            {{"--additional", "no.conf", "FILE"}, kClean, 2, "lyrd-checkconf: cannot read no.conf"},
            {{"."}, "", 2, "lyrd-checkconf: cannot read .: Is a directory"},
    };
    CheckconfRun checker;
    for (const Case& c : cases) {
        std::string file = checker.dir().write("c.conf", c.config);
        Lines args = c.args;
        std::replace(args.begin(), args.end(), std::string("FILE"), file);
        for (std::string& arg : args) {
            if (arg == "no.conf" || arg == ".") arg = checker.dir().file(arg);
        }
        Outcome outcome = checker.run(args);
        EXPECT_EQ(c.status, outcome.status) << c.args.size() << " " << c.config;
        EXPECT_EQ(c.err, outcome.err.substr(0, c.err.size())) << outcome.err;
    }
}

// The main file's problems first, then the additional file's, each under its
// own path; a line there that a copy in the main file misses names both.
TEST(CheckconfRun, TheAdditionalFileIsTheOneGivenOrTheOneNamedWhenItIsHere) {
    CheckconfRun checker;
    const lyrd_test::TempDir& dir = checker.dir();
    dir.write("sub/x", "");
    std::string extra = dir.write("extra.conf",
                                  "event.e.uevent=late\n"
                                  "monitor.m.level=\n"
                                  "global.additional_conf_path=/third.conf\n");
    std::string main = std::string(kClean) +
                       "ghandler.g.level=0\nghandler.g.on=1\nevent.e.uevent=a\nmonitor.m.event=e\n";
    const Lines extraLines = {
            "extra.conf:1: warning: event \"e\" was copied into monitor \"m\" at c.conf:7: that "
            "copy does not see this line",
            "extra.conf:2: error: the key level has no value after \"=\" [Invalid line in config "
            "file: monitor.m.level=\\n] [Set value failed at line 863] [Config file parsing error "
            "at line 1000: monitor.m.level=\\n]",
            "extra.conf:3: warning: an additional file cannot name another: no third file is ever "
            "read",
            "1 errors, 2 warnings"};

    EXPECT_EQ(extraLines, checker.check("global.additional_conf_path=" + extra + "\n" + main).out);
    EXPECT_EQ(extraLines, checker.check("global.additional_conf_path=/vendor/etc/x.conf\n" + main,
                                        {"--additional", extra})
                                  .out);
    EXPECT_EQ((Lines{"c.conf:1: warning: the additional file \"/vendor/etc/x.conf\" is not here "
                     "and was not checked: give it with --additional FILE",
                     "0 errors, 1 warnings"}),
              checker.check("global.additional_conf_path=/vendor/etc/x.conf\n" + main).out);
    EXPECT_EQ((Lines{"c.conf:6: warning: no additional_conf_path names an additional file, so "
                     "\"extra.conf\" was not read",
                     "0 errors, 1 warnings"}),
              checker.check(main, {"--additional", extra}).out);
    EXPECT_EQ((Lines{"c.conf:2: error: the additional file \"/no/such.conf\" cannot be opened "
                     "[Failed to open config file /no/such.conf]",
                     "1 errors, 0 warnings"}),
              checker.check("global.additional_conf_path=" + extra +
                            "\nglobal.additional_conf_path=/no/such.conf\n" + main)
                      .out);
    EXPECT_EQ((Lines{"c.conf:1: error: the additional file \"sub\" cannot be read to its end "
                     "[Failed to read config file sub, Is a directory]",
                     "1 errors, 0 warnings"}),
              checker.check("global.additional_conf_path=" + dir.file("sub") + "\n" + main).out);
}

// Runs no shell line.
class NoShell : public SystemCalls {
  public:
    int runShell(const char*) override { return 0; }
};

// The lines between the two hyphen lines of the daemon's start-up log.
Lines loggedReport(const lyrd_test::LogCapture& log) {
    const std::string rule(44, '-');
    std::vector<std::string> messages = log.messages();
    auto begin = std::find(messages.begin(), messages.end(), rule);
    auto end = std::find(begin + 1, messages.end(), rule);
    return Lines(begin + 1, end);
}

// The configurations the parser's own tests accept, and the example.
TEST(CheckconfRun, ReportIsTheOneTheDaemonLogsAtStartUp) {
    std::string used = "global.min_free_space=9", skipped = "global.max_dump_count=7";
    used += std::string(1022 - used.size(), ' ') + "\n";
    skipped += std::string(1023 - skipped.size(), ' ') + "\n";
    CheckconfRun checker;
    const lyrd_test::TempDir& dir = checker.dir();
    std::string third = dir.write("third", "global.max_dump_count=3\n");
    std::string extra = dir.write(
            "extra", "global.max_dump_count=2\nglobal.additional_conf_path=" + third + "\n");
    const std::string configs[] = {
            lyrd_test::readFile(LYRD_SOURCE_DIR "/examples/lyrdebug.conf"),
            "global.additional_conf_path=" + extra + "\n",
            "global.log_dump_path=-made\n",
            R"(global.log_dump_path=/data/lyr dumps
global.additional_conf_path=/no/such/file
global.logcat_grep=0x1
global.max_dump_count=12abc
global.max_dump_space=4294967295
globals.max_dump_count=1
global .max_dump_count=2
#global.kmsg_grep=0
 //global.kmsg_grep=0
//global.max_dump_space=5
global max_dump_space=6

ghandlers . g.init=setprop a=1 b.c
ghandler. g.online=-1
..ghandler.. g.epara=x
ghandler. g.epara=x
handler.h.dump=before
handler.h.level=5
handler.h.dpara=-b main
event.e.handler.h.on=1
handler.h.dump=after
event.e.uevent=u1
event.e.key_word=Kernel panic
eventgroup.e.policyX=once
monitor.m.event=e
event.e.uevent=u2
event.e.handler.h.dpara=-b radio
event.f.policy=ONCE
evtgroup.g.event=e
evtgroup.g.events=f
evtgroup.g.event=e
event.f.uevent=late
monitor.m.enable=1
monitor.m.level=7
monitor.m.evtgroup=g
monitor.m.evtgroup=nobody
monitor.m.event=e
monitor.n.level=3
)" + used + skipped +
                    "global.kmsg_grep= 0",
    };
    NoShell shell;
    for (const std::string& config : configs) {
        std::string path = dir.write("c.conf", config);
        lyrd_test::LogCapture log;
        android::sp<LyrDebugService> service = new LyrDebugService(path.c_str(), shell);
        service.clear();
        Lines expected = loggedReport(log);
        ASSERT_FALSE(expected.empty()) << config;
        expected[0] = std::string("Config File Path: ") + LyrDebugService::kConfigPath;
        for (std::string& line : expected) line = withoutFolder(line, dir.path());

        Outcome outcome = checker.run({"--report", path});
        Lines report;
        std::copy_if(outcome.out.begin(), outcome.out.end() - 1, std::back_inserter(report),
                     [](const std::string& line) {
                         return line.find(": warning: ") == std::string::npos;
                     });
        EXPECT_EQ(expected, report) << config;
    }
}

TEST(CheckconfRun, CheckingMakesNoFolderAndRunsNoShell) {
    CheckconfRun checker;
    std::string made = checker.dir().file("made"), witness = checker.dir().file("w");
    Outcome outcome =
            checker.check("global.log_dump_path=" + made + "\nglobal.log_dump_path=/x$(touch " +
                                  witness + ")\n" + kClean,
                          {"--report"});
    EXPECT_EQ(0, outcome.status);
    EXPECT_NE(0, access(made.c_str(), F_OK));
    EXPECT_NE(0, access(witness.c_str(), F_OK));
}

TEST(CheckconfRun, TheExampleHasNoErrorAndNoWarning) {
    CheckconfRun checker;
    Outcome outcome = checker.run({"--werror", LYRD_SOURCE_DIR "/examples/lyrdebug.conf"});
    EXPECT_EQ(Lines{"0 errors, 0 warnings"}, outcome.out);
    EXPECT_EQ(0, outcome.status);
}

// A rejected configuration gets no report: the daemon logs none.
TEST(CheckconfRun, NoReportForARejectedConfiguration) {
    CheckconfRun checker;
    EXPECT_EQ((Lines{"c.conf:3: error: the key level has no value after \"=\" [Invalid line in "
                     "config file: monitor.m.level=\\n] [Set value failed at line 863] [Config "
                     "file parsing error at line 1000: monitor.m.level=\\n]",
                     "1 errors, 0 warnings"}),
              checker.check(std::string(kClean) + "monitor.m.level=\n", {"--report"}).out);
}

}  // namespace
}  // namespace checkconf
