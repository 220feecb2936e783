// How the real daemon's start-up ends, whatever it finds: what it logs, that
// the process stays up, what start says of it, and what a client then gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

struct StartCase {
    const char* name;
    std::string reply;  // to lyrdctl send
    std::string said;   // by start, after "lyrd (pid N) "
    std::optional<std::string> config;
    std::string messages;         // lines logged in this order, others between
    std::string additional = "";  // /data/more.conf, when not empty
};

const char kParseFailed[] = "runs but did not start its service: Failed to parse config file";

class StartUp : public SandboxTest<::testing::TestWithParam<StartCase>> {};

TEST_P(StartUp, EndsAsTheConfigurationSays) {
    const StartCase& c = GetParam();
    Options options;
    if (!c.additional.empty()) options.files = {{"/data/more.conf", c.additional}};
    ASSERT_TRUE(sandbox.start(c.config, options));
    std::string said = "lyrd (pid " + std::to_string(sandbox.pid()) + ") " + c.said +
                       "; its log is " + sandbox.dir() + "/lyrd.log\n";
    std::istringstream lines(sandbox.log());
    for (std::string line; c.reply != "0\n" && std::getline(lines, line);) {
        if (line.compare(0, 2, "E/") == 0) said += "  " + line + "\n";
    }
    EXPECT_EQ(said, sandbox.startOutput());

    EXPECT_EQ(c.reply, sandbox.send("x"));
    if (c.reply != "0\n") {
        EXPECT_EQ(
                "lyrdctl: -38: the service is not started, or its monitor thread has ended "
                "(the daemon's log says which)\n",
                sandbox.exec({"lyrdctl", "send", "y"}).err);
    }
    EXPECT_TRUE(alive(sandbox.pid()));
    sandbox.waitFor(c.messages.substr(c.messages.rfind('\n') + 1));
    std::vector<std::string> logged = sandbox.messages();
    auto next = logged.begin();
    std::istringstream messages(c.messages);
    for (std::string message; std::getline(messages, message);) {
        next = std::find(next, logged.end(), message);
        ASSERT_NE(logged.end(), next) << message << " missing, in order, from\n" << sandbox.log();
    }
}

INSTANTIATE_TEST_SUITE_P(
        Outcomes, StartUp,
        ::testing::Values(
                StartCase{"NoFile", "-38\n", kParseFailed, std::nullopt,
                          "Failed to open config file /system/vendor/etc/lyrdebug.conf\n"
                          "Failed to parse config file"},
                StartCase{"ParseFailure", "-38\n", kParseFailed,
                          "monitor.m.enable=1\nmonitor.m.event=ghost\n",
                          "Config file parsing error at line 872: monitor.m.event=ghost\\n\n"
                          "Config file parsing error at line 1000: monitor.m.event=ghost\\n\n"
                          "Failed to parse config file"},
                StartCase{"NoMonitor", "-38\n",
                          "runs but did not start its service: No monitor is enabled",
                          "monitor.m.enable=0\n",
                          "Monitor: m, Enabled: 0, Level: 0\nNo monitor is enabled"},
                StartCase{"Started", "0\n", "started", "monitor.m.enable=1\n",
                          "Start parsing config\nParsing config succeed, start dump config...\n"
                          "--------------------------------------------\n"
                          "Monitor: m, Enabled: 1, Level: 0\n"
                          "--------------------------------------------\n"
                          "Start enable handlers\nEnable global handlers\nEnable monitor\n"
                          "Finish enable handlers\nLYR debug service started\n"
                          "Invalid event received, x"},
                StartCase{"AdditionalFile", "0\n", "started",
                          "global.additional_conf_path=/data/more.conf\n",
                          "Use additional config file\nMaxEventsDumped: 7\n"
                          "LYR debug service started",
                          "global.max_dump_count=7\nmonitor.m.enable=1\n"}),
        [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lyrd_e2e
