#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "StartReport.h"

namespace sandbox {
namespace {

constexpr pid_t kPid = 41;

struct ReportCase {
    const char* name;
    std::string log;
    StartUpResult result;
    std::string text;
    std::string warning;
};

// Keeps the test names that ctest lists readable.
void PrintTo(const ReportCase& c, std::ostream* out) {
    *out << c.name;
}

const StartUpResult kAnswered{StartUpOutcome::kAnswered, 0};
const StartUpResult kTimedOut{StartUpOutcome::kTimedOut, 0};

// Lines of another process (a handler command, a later lyrd) share the file.
const std::string kParseFailure =
        "D/LyrDebugService(41): Start parsing config\n"
        "E/LyrDebugService(41): Config file parsing error at line 872: monitor.m.event=ghost\\n\n"
        "E/LyrDebugService(7): Failed to open config file /x\n"
        "E/LyrDebugService(41): Failed to parse config file\n";

class Report : public ::testing::TestWithParam<ReportCase> {};

TEST_P(Report, SaysWhetherLyrdStartedAndListsItsErrorsWhenItDidNot) {
    const ReportCase& c = GetParam();
    StartReport report = reportStart(c.log, kPid, c.result, "/s/lyrd.log");
    EXPECT_EQ(c.text, report.text);
    EXPECT_EQ(c.warning, report.warning);
}

INSTANTIATE_TEST_SUITE_P(
        Outcomes, Report,
        ::testing::Values(
                ReportCase{"Started",
                           "E/LyrDebugService(41): Unknown key word x in global section\n"
                           "D/LyrDebugService(41): LYR debug service started\n",
                           kAnswered, "lyrd (pid 41) started; its log is /s/lyrd.log\n", ""},
                ReportCase{"ParseFailure", kParseFailure, kAnswered,
                           "lyrd (pid 41) runs but did not start its service: Failed to parse "
                           "config file; its log is /s/lyrd.log\n"
                           "  E/LyrDebugService(41): Config file parsing error at line 872: "
                           "monitor.m.event=ghost\\n\n"
                           "  E/LyrDebugService(41): Failed to parse config file\n",
                           ""},
                ReportCase{"OnlyLyrdsOwnTagEndsStartUp",
                           "D/app(41): No monitor is enabled\nD/LyrDebugService(41): No monitor "
                           "is enabled\n",
                           kAnswered,
                           "lyrd (pid 41) runs but did not start its service: No monitor is "
                           "enabled; its log is /s/lyrd.log\n",
                           ""},
                ReportCase{"Exited", "F/libc(41): Fatal signal 11\n",
                           StartUpResult{StartUpOutcome::kExited, 139},
                           "lyrd did not start: it exited with status 139 during start-up; its "
                           "log is /s/lyrd.log\n  F/libc(41): Fatal signal 11\n",
                           ""},
                ReportCase{"StillStarting", "D/LyrDebugService(41): Start parsing config\n",
                           kTimedOut,
                           "lyrd (pid 41) runs but its log shows no end of its start-up; its "
                           "log is /s/lyrd.log\n",
                           "lyrd is running but its start-up did not end within the wait"},
                ReportCase{"StartedButNotAnswering",
                           "D/LyrDebugService(41): LYR debug service started\n"
                           "E/LyrDebugService(41): Failed to publish service lyrd, -13\n",
                           kTimedOut,
                           "lyrd (pid 41) started but its service did not answer; its log is "
                           "/s/lyrd.log\n  E/LyrDebugService(41): Failed to publish service "
                           "lyrd, -13\n",
                           "lyrd is running but the service \"lyrd\" did not answer within the "
                           "wait"}),
        [](const auto& info) { return std::string(info.param.name); });

TEST(Report, ManyErrorsAreCutShortBelowTheLine) {
    std::string log;
    for (int i = 0; i < 25; ++i)
        log += "E/LyrDebugService(41): Invalid line " + std::to_string(i) + "\n";
    log += "E/LyrDebugService(41): Failed to parse config file\n";

    std::string text = reportStart(log, kPid, kAnswered, "/s/lyrd.log").text;

    EXPECT_EQ(0u, text.find("lyrd (pid 41) runs but did not start its service: Failed")) << text;
    EXPECT_NE(std::string::npos, text.find("  E/LyrDebugService(41): Invalid line 19\n")) << text;
    EXPECT_EQ(std::string::npos, text.find("Invalid line 20")) << text;
    EXPECT_EQ("  ... and 6 more\n", text.substr(text.rfind("  ..."))) << text;
}

}  // namespace
}  // namespace sandbox
