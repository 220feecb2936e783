// The tree the sandbox builds, exec inside it, and stop.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/common/TempDir.h"
#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

class SandboxTree : public ::testing::Test {
  protected:
    void SetUp() override { LYRD_REQUIRE_SANDBOX(); }
    Sandbox sandbox;
};

struct ExecCase {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;
};

TEST_F(SandboxTree, ExecRunsCommandsInsideTheTree) {
    const std::string config = "# sandbox tree\n";
    SandboxOptions options;
    options.dataSize = "64m";
    options.files = {{"/data/extra dir/more.conf", "more\n"}, {"/system/etc/deep/x", "x"}};
    ASSERT_TRUE(sandbox.start(config, options));

    const ExecCase cases[] = {
            {{"cat", "/system/vendor/etc/lyrdebug.conf"}, "", 0, config},
            {{"cat", "/data/extra dir/more.conf"}, "", 0, "more\n"},
            {{"cat", "/system/etc/deep/x"}, "", 0, "x"},
            {{"sh", "-c", "exit 7"}, "", 7, ""},
            {{"pwd"}, "", 0, "/\n"},
            {{"cat"}, "through stdin\n", 0, "through stdin\n"},
            {{"sh", "-c", "echo \"$PATH\""}, "", 0, "/system/bin:/usr/sbin:/usr/bin:/sbin:/bin\n"},
            {{"sh", "-c", "echo $(( $(stat -f -c '%b * %S' /data) ))"}, "", 0, "67108864\n"},
            {{"sh", "-c",
              "for b in main system events radio; do test -f /dev/log/$b && stat -c %a "
              "/dev/log/$b; done"},
             "",
             0,
             "666\n666\n666\n666\n"},
            {{"stat", "-c", "%F %a", "/dev/hostbinder"}, "", 0, "directory 755\n"},
            {{"sh", "-c", "head -c 5 /dev/zero | wc -c"}, "", 0, "5\n"},
            {{"sh", "-c",
              "for d in null zero full random urandom kmsg; do test -c /dev/$d || echo $d; done"},
             "",
             0,
             ""},
            {{"test", "-x", "/system/bin/lyrd"}, "", 0, ""},
            {{"sh", "-c", "touch /usr/lyrd-probe /etc/lyrd-probe 2>/dev/null"}, "", 1, ""},
            {{"no-such-program"}, "", 127, ""},
    };
    for (const ExecCase& c : cases) {
        CommandResult result = sandbox.exec(c.args, c.input);
        EXPECT_EQ(c.status, result.status) << c.args.back() << "\n" << result.err;
        EXPECT_EQ(c.out, result.out) << c.args.back();
    }
}

TEST_F(SandboxTree, TreeAndTmpStayInsideTheSandbox) {
    ASSERT_TRUE(sandbox.start(""));
    std::string probe = "lyrd-sandbox-probe-" + std::to_string(getpid());
    ASSERT_EQ(0, sandbox.exec({"touch", "/tmp/" + probe, "/data/" + probe}).status);

    EXPECT_FALSE(std::filesystem::exists("/tmp/" + probe));
    EXPECT_TRUE(std::filesystem::is_empty(sandbox.dir() + "/root"))
            << "the tree is a private tmpfs, an empty folder from the host";
}

std::string mountNamespaceOf(int pid) {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/ns/mnt", error).string();
}

std::vector<int> processesInMountNamespace(const std::string& ns) {
    std::vector<int> pids;
    std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
    while (dirent* entry = readdir(proc.get())) {
        int pid = atoi(entry->d_name);
        if (pid > 0 && mountNamespaceOf(pid) == ns && processAlive(pid)) pids.push_back(pid);
    }
    return pids;
}

TEST_F(SandboxTree, StopEndsEveryProcessAndLeavesNothingMounted) {
    ASSERT_TRUE(sandbox.start(""));
    std::string ns = mountNamespaceOf(sandbox.pid());
    ASSERT_FALSE(ns.empty());
    ASSERT_EQ(0, sandbox.exec({"sh", "-c", "sleep 1000 </dev/null >/dev/null 2>&1 &"}).status);
    std::string logBefore = sandbox.logText();
    int pid = sandbox.pid();

    CommandResult stop = sandbox.stop();

    EXPECT_EQ(0, stop.status) << stop.err;
    EXPECT_FALSE(processAlive(pid));
    EXPECT_EQ(std::vector<int>{}, processesInMountNamespace(ns));
    std::string mounts = lyrd_test::readFile("/proc/self/mountinfo");
    EXPECT_EQ(std::string::npos, mounts.find(sandbox.dir()));
    EXPECT_EQ(std::string::npos, mounts.find("sand\\040box")) << mounts;
    EXPECT_FALSE(logBefore.empty());
    EXPECT_EQ(logBefore, sandbox.logText());
    EXPECT_EQ(125, sandbox.exec({"true"}).status);
    EXPECT_EQ(0, sandbox.stop().status) << "stopping twice is no error";
}

TEST_F(SandboxTree, StartRefusesWhileTheSandboxRuns) {
    ASSERT_TRUE(sandbox.start(""));
    int pid = sandbox.pid();

    CommandResult again = sandbox.startCommand("");

    EXPECT_NE(0, again.status);
    EXPECT_NE(std::string::npos, again.err.find("already running")) << again.err;
    EXPECT_EQ(pid, sandbox.pid());
    EXPECT_TRUE(sandbox.daemonRunning());
}

}  // namespace
}  // namespace lyrd_e2e
