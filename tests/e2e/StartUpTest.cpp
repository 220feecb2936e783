// The real lyrd started in the sandbox: what its start-up logs and that the
// process stays up whatever the start-up found.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/common/TempDir.h"
#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

class StartUp : public ::testing::Test {
  protected:
    void SetUp() override { LYRD_REQUIRE_SANDBOX(); }
    Sandbox sandbox;
};

// True when want appears in have in this order, other messages between.
bool inOrder(const std::vector<std::string>& have, const std::vector<std::string>& want) {
    auto next = have.begin();
    for (const std::string& message : want) {
        next = std::find(next, have.end(), message);
        if (next == have.end()) return false;
        ++next;
    }
    return true;
}

::testing::AssertionResult logged(const Sandbox& sandbox, const std::vector<std::string>& want) {
    if (inOrder(sandbox.messages(), want)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "lyrd.log:\n" << sandbox.logText();
}

TEST_F(StartUp, EmptyConfigurationLogsEachStepInOrder) {
    const std::vector<std::string> kStartUpMessages = {
            "Start parsing config",
            "Parsing config succeed, start dump config...",
            "--------------------------------------------",
            "Config File Path: /system/vendor/etc/lyrdebug.conf",
            "Log Dump Path: ",
            "Additional Config Path: ",
            "Enable Logcat Grep: 1",
            "Enable Kmsg Grep: 1",
            "MaxEventsDumped: 10",
            "MaxLogSize: 1024MB",
            "MinFreeSpace: 512MB",
            "--------------------------------------------",
            "No monitor is enabled",
    };
    ASSERT_TRUE(sandbox.start(""));

    EXPECT_TRUE(sandbox.daemonRunning());
    EXPECT_EQ(kStartUpMessages, sandbox.messages()) << sandbox.logText();
    for (const SandboxLogRecord& record : sandbox.records()) {
        EXPECT_EQ(sandbox.pid(), record.pid) << record.message;
    }
}

TEST_F(StartUp, NoConfigFileKeepsTheDaemonRunning) {
    ASSERT_TRUE(sandbox.start(std::nullopt));

    EXPECT_TRUE(sandbox.daemonRunning());
    EXPECT_EQ(1, sandbox.exec({"test", "-e", "/system/vendor/etc/lyrdebug.conf"}).status);
}

TEST_F(StartUp, NoConfigFileFailsToParse) {
    ASSERT_TRUE(sandbox.start(std::nullopt));

    EXPECT_TRUE(logged(sandbox, {"Failed to open config file /system/vendor/etc/lyrdebug.conf",
                                 "Failed to parse config file"}));
    EXPECT_TRUE(sandbox.daemonRunning());
}

// Field of /proc/PID/stat after the command name: 0 state, 1 ppid, 2 pgrp, 3 session.
std::string statField(int pid, int index) {
    std::string stat = lyrd_test::readFile("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(") ") + 2));
    std::string field;
    for (int i = 0; i <= index; ++i) fields >> field;
    return field;
}

TEST_F(StartUp, DaemonRunsChrootedDetachedWithOnlyPathInItsEnvironment) {
    ASSERT_TRUE(sandbox.start(""));
    std::string proc = "/proc/" + std::to_string(sandbox.pid());

    EXPECT_EQ("/\n", sandbox.exec({"readlink", proc + "/cwd"}).out);
    EXPECT_EQ("/\n", sandbox.exec({"readlink", proc + "/root"}).out);
    std::string environment = lyrd_test::readFile(proc + "/environ");
    EXPECT_EQ(std::string("PATH=/system/bin:/usr/sbin:/usr/bin:/sbin:/bin\0", 47), environment);
    EXPECT_EQ(std::to_string(sandbox.pid()), statField(sandbox.pid(), 3)) << "own session";
}

}  // namespace
}  // namespace lyrd_e2e
