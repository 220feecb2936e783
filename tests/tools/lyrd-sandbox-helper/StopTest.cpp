#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "Files.h"
#include "Namespaces.h"
#include "Processes.h"
#include "Stop.h"
#include "tests/common/TempDir.h"

namespace sandbox {
namespace {

using android::UniqueFd;

// A member that, told to end, starts another before it goes.
void forkThenExit(int) {
    if (fork() == 0) {
        for (;;) pause();
    }
    _exit(0);
}

// In the sandbox's namespace: a member that reports on ready once set up,
// then waits to be ended.
void startMember(const UniqueFd& ready, void (*setUp)()) {
    if (fork() != 0) return;
    setUp();
    if (write(ready.get(), "m", 1) != 1) _exit(1);
    for (;;) pause();
}

class Stop : public ::testing::Test {
  protected:
    void SetUp() override {
        mode = probeNamespaces();
        if (mode == NamespaceMode::kNone) GTEST_SKIP() << "needs root or user namespaces";
    }

    // A holder in namespaces of its own, with three members: one that
    // ignores SIGTERM, one that forks on it, and an orphan in a session of
    // its own. Returns once all are set up.
    pid_t startFakeSandbox() {
        int ends[2];
        EXPECT_EQ(0, pipe2(ends, O_CLOEXEC));
        UniqueFd readEnd(ends[0]), writeEnd(ends[1]);
        pid_t holder = fork();
        if (holder == 0) {
            std::string error;
            if (!makeNamespaces(mode, &error)) _exit(1);
            startMember(writeEnd, [] { signal(SIGTERM, SIG_IGN); });
            startMember(writeEnd, [] { signal(SIGTERM, forkThenExit); });
            startMember(writeEnd, [] {
                if (fork() != 0) _exit(0);
                setsid();
            });
            writeEnd.reset();
            for (;;) pause();
        }
        writeEnd.reset();
        char got;
        for (int members = 0; members < 3; ++members) {
            EXPECT_EQ(1, TEMP_FAILURE_RETRY(read(readEnd.get(), &got, 1)));
        }
        return holder;
    }

    NamespaceMode mode = NamespaceMode::kNone;
};

TEST_F(Stop, EndsEveryProcessOfTheSandboxThoseThatResistOrMultiplyToo) {
    lyrd_test::TempDir temp;
    const SandboxDir dir(realPath(temp.path()));
    pid_t holder = startFakeSandbox();
    const std::string ns = mountNamespaceOf(std::to_string(holder));
    writeText(dir.file("sandbox.pid"), std::to_string(holder) + "\n");
    writeText(dir.file("sandbox.ns"), ns + "\n");
    ASSERT_EQ(4u, processesIn(ns).size());

    std::string error;
    EXPECT_TRUE(stopSandbox(dir, &error, {std::chrono::milliseconds(100), std::chrono::seconds(60)}))
            << error;

    EXPECT_EQ(std::vector<pid_t>{}, processesIn(ns));
    EXPECT_EQ(128 + SIGTERM, reapChild(holder));
    EXPECT_FALSE(std::filesystem::exists(dir.file("sandbox.ns")));
}

// Run where a broken guard could end nothing but the child itself.
TEST_F(Stop, NeverTakesTheCallersOwnNamespaceForTheSandbox) {
    lyrd_test::TempDir temp;
    const SandboxDir dir(realPath(temp.path()));
    pid_t child = fork();
    if (child == 0) {
        std::string error;
        if (!makeNamespaces(mode, &error)) _exit(2);
        writeText(dir.file("sandbox.pid"), std::to_string(getpid()) + "\n");
        writeText(dir.file("sandbox.ns"), mountNamespaceOf("self") + "\n");
        bool left = processesIn(mountNamespaceOf("self")).empty() && !dir.anchor().ok() &&
                    stopSandbox(dir, &error);
        _exit(left ? 0 : 1);
    }
    EXPECT_EQ(0, reapChild(child));
}

}  // namespace
}  // namespace sandbox
