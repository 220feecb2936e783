// The sandbox script's own behaviour: argument errors, hosts without
// namespaces, daemons that fail or are slow, and reading the daemon's log.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utils/UniqueFd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/common/TempDir.h"
#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

using android::UniqueFd;

TEST(SandboxScript, BadArgumentsExitTwoWithUsageAndTouchNothing) {
    lyrd_test::TempDir temp;
    const std::string dir = temp.file("never made");
    const std::vector<std::vector<std::string>> cases = {
            {},
            {"frobnicate"},
            {"start"},
            {"start", "--root"},
            {"start", "--root", dir, "--bogus"},
            {"start", "--root", dir, "--wait", "soon"},
            {"start", "--root", dir, "--data-size", "1G,exec"},
            {"start", "--root", dir, "--file", "no-colon"},
            {"start", "--root", dir, "--file", "src:relative/dest"},
            {"start", "--root", dir, "--file", "src:/data/../../escape"},
            {"exec", "--root", dir},
            {"exec", "--", "true"},
            {"stop"},
            {"stop", "--root", dir, "extra"},
    };
    for (const std::vector<std::string>& args : cases) {
        std::vector<std::string> argv = {sandboxScript()};
        argv.insert(argv.end(), args.begin(), args.end());
        CommandResult result = runCommand(argv);
        std::string shown = args.empty() ? "(none)" : args.back();
        EXPECT_EQ(2, result.status) << shown << "\n" << result.err;
        EXPECT_NE(std::string::npos, result.err.find("Usage:")) << shown;
    }
    EXPECT_FALSE(std::filesystem::exists(dir));

    CommandResult help = runCommand({sandboxScript(), "--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("Usage:"));
}

// Runs argv as nobody inside a fresh user namespace that may hold no further
// user namespace, so the script can neither be root nor make one. Returns
// false, with the reason, when that cannot be arranged here.
bool runWithoutNamespaces(const std::vector<std::string>& argv, CommandResult& result,
                          std::string& whyNot) {
    if (geteuid() != 0) {
        whyNot = "mapping a user namespace for nobody needs root";
        return false;
    }
    int up[2], down[2], output[2];
    if (pipe2(up, O_CLOEXEC) != 0 || pipe2(down, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) {
        whyNot = "pipe2 failed";
        return false;
    }
    UniqueFd upRead(up[0]), upWrite(up[1]), downRead(down[0]), downWrite(down[1]);
    UniqueFd outRead(output[0]), outWrite(output[1]);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        char byte = 0;
        if (unshare(CLONE_NEWUSER) != 0) _exit(120);
        if (write(upWrite.get(), &byte, 1) != 1 || read(downRead.get(), &byte, 1) != 1) _exit(121);
        int limit = open("/proc/sys/user/max_user_namespaces", O_WRONLY | O_CLOEXEC);
        if (limit < 0 || write(limit, "0", 1) != 1) _exit(122);
        if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
            setresuid(65534, 65534, 65534) != 0) {
            _exit(123);
        }
        if (dup2(outWrite.get(), 1) < 0 || dup2(outWrite.get(), 2) < 0) _exit(124);
        execv(args[0], args.data());
        _exit(127);
    }
    upWrite.reset();
    downRead.reset();
    outWrite.reset();
    char byte = 0;
    std::string proc = "/proc/" + std::to_string(pid);
    bool mapped = read(upRead.get(), &byte, 1) == 1 &&
                  bool(std::ofstream(proc + "/uid_map") << "0 0 65536\n") &&
                  bool(std::ofstream(proc + "/gid_map") << "0 0 65536\n");
    if (mapped) mapped = write(downWrite.get(), &byte, 1) == 1;
    downWrite.reset();
    char buffer[4096];
    for (ssize_t n; (n = read(outRead.get(), buffer, sizeof(buffer))) > 0;) {
        result.err.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = shellStatus(status);
    if (!mapped || (result.status >= 120 && result.status <= 124)) {
        whyNot = "could not build the user namespace (step " + std::to_string(result.status) + ")";
        return false;
    }
    return true;
}

TEST(SandboxScript, WithoutRootOrUserNamespacesExitsTwo) {
    lyrd_test::TempDir temp;
    CommandResult result;
    std::string whyNot;
    if (!runWithoutNamespaces(
                {sandboxScript(), "start", "--root", temp.file("sandbox"), "--bin", buildBinDir()},
                result, whyNot)) {
        GTEST_SKIP() << whyNot;
    }

    EXPECT_EQ(2, result.status) << result.err;
    EXPECT_NE(std::string::npos, result.err.find("namespaces")) << result.err;
    EXPECT_FALSE(std::filesystem::exists(temp.file("sandbox")));
}

// Start-up against stand-in programs, to reach the cases the real daemon
// does not show on demand.
class SandboxStart : public ::testing::Test {
  protected:
    void SetUp() override { LYRD_REQUIRE_SANDBOX(); }

    void writeProgram(const std::string& name, const std::string& script) {
        std::string path = bin.write(name, "#!/bin/sh\n" + script);
        chmod(path.c_str(), 0755);
    }
    SandboxOptions options() const {
        SandboxOptions options;
        options.binDir = bin.path();
        return options;
    }

    lyrd_test::TempDir bin;
    Sandbox sandbox;
};

TEST_F(SandboxStart, FailsAndCleansUpWhenTheDaemonExitsDuringStartUp) {
    writeProgram("lyrd", "exit 3\n");

    CommandResult result = sandbox.startCommand("", options());

    EXPECT_EQ(1, result.status);
    EXPECT_NE(std::string::npos, result.err.find("status 3")) << result.err;
    EXPECT_EQ(125, sandbox.exec({"true"}).status) << "nothing of the sandbox is left";
}

TEST_F(SandboxStart, WaitsAfterStartUpUntilTheServiceAnswersAPing) {
    writeProgram("lyrd",
                 "echo \"D/LyrDebugService($$): No monitor is enabled\" >&2\n"
                 "exec sleep 1000\n");
    // Answers the third ping, and only the ping transaction.
    writeProgram("lyrdctl",
                 "[ \"$*\" = 'transact --code 1599098439 --no-token' ] || exit 9\n"
                 "n=$(( $(cat /tmp/pings 2>/dev/null || echo 0) + 1 ))\n"
                 "echo $n >/tmp/pings\n"
                 "[ $n -ge 3 ]\n");

    ASSERT_TRUE(sandbox.start("", options()));

    EXPECT_EQ("3\n", sandbox.exec({"cat", "/tmp/pings"}).out);
    EXPECT_TRUE(sandbox.daemonRunning());
}

TEST_F(SandboxStart, ReturnsAfterTheWaitWhenStartUpNeverEnds) {
    writeProgram("lyrd", "exec sleep 1000\n");
    SandboxOptions slow = options();
    slow.waitSeconds = "0.5";

    CommandResult result = sandbox.startCommand("", slow);

    EXPECT_EQ(0, result.status) << "the daemon is running";
    EXPECT_NE(std::string::npos, result.err.find("did not end")) << result.err;
    EXPECT_TRUE(sandbox.daemonRunning());
}

TEST_F(SandboxStart, RestartWaitsForItsOwnLogNotTheOneBefore) {
    writeProgram("lyrd",
                 "echo \"D/LyrDebugService($$): No monitor is enabled\" >&2\n"
                 "exec sleep 1000\n");
    ASSERT_TRUE(sandbox.start("", options()));
    ASSERT_EQ(0, sandbox.stop().status);
    writeProgram("lyrd", "exec sleep 1000\n");
    SandboxOptions slow = options();
    slow.waitSeconds = "0.5";

    CommandResult result = sandbox.startCommand("", slow);

    EXPECT_EQ(0, result.status);
    EXPECT_NE(std::string::npos, result.err.find("did not end")) << result.err;
    EXPECT_EQ("", sandbox.logText());
}

TEST_F(SandboxStart, HarnessWaitsForWhatTheDaemonDoesLater) {
    writeProgram("lyrd",
                 "echo \"D/LyrDebugService($$): No monitor is enabled\" >&2\n"
                 "sleep 0.3\n"
                 "echo \"W/LyrDebugService($$): later\" >&2\n"
                 "touch /data/later\n"
                 "exec sleep 1000\n");
    ASSERT_TRUE(sandbox.start("", options()));

    EXPECT_TRUE(sandbox.waitForMessage("later"));
    EXPECT_TRUE(sandbox.waitForFile("/data/later"));
    EXPECT_FALSE(sandbox.waitForMessage("later", std::chrono::milliseconds(100), "OtherTag"));
    EXPECT_FALSE(sandbox.waitForFile("/data/never", std::chrono::milliseconds(100)));
}

TEST(SandboxLog, ParsesRecordsAndSkipsOtherLines) {
    const std::string log = R"(D/LyrDebugService(12): No monitor is enabled
W/Tag (with) parens(7): message (3): with look-alikes
I/LCT(99): 
==1234==ERROR: AddressSanitizer: something
D/NoPid(): skipped
X/Bad(1): unknown priority
E/LyrDebugService(12): a\nsplit line
)";
    std::vector<SandboxLogRecord> records = parseSandboxLog(log);

    ASSERT_EQ(4u, records.size());
    EXPECT_EQ('D', records[0].priority);
    EXPECT_EQ("LyrDebugService", records[0].tag);
    EXPECT_EQ(12, records[0].pid);
    EXPECT_EQ("No monitor is enabled", records[0].message);
    EXPECT_EQ("Tag (with) parens", records[1].tag);
    EXPECT_EQ(7, records[1].pid);
    EXPECT_EQ("message (3): with look-alikes", records[1].message);
    EXPECT_EQ("", records[2].message);
    EXPECT_EQ("a\\nsplit line", records[3].message);
}

}  // namespace
}  // namespace lyrd_e2e
