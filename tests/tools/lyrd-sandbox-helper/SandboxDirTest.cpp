#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "Files.h"
#include "Namespaces.h"
#include "Processes.h"
#include "SandboxDir.h"
#include "tests/common/TempDir.h"

namespace sandbox {
namespace {

using android::UniqueFd;

// A child in namespaces of its own, as a holder is; returns once it is there.
pid_t startNamespacedChild(NamespaceMode mode) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return -1;
    UniqueFd readEnd(ends[0]), writeEnd(ends[1]);
    pid_t child = fork();
    if (child == 0) {
        std::string error;
        if (!makeNamespaces(mode, &error) || write(writeEnd.get(), "r", 1) != 1) _exit(1);
        for (;;) pause();
    }
    writeEnd.reset();
    char byte;
    return TEMP_FAILURE_RETRY(read(readEnd.get(), &byte, 1)) == 1 ? child : -1;
}

// exec and stop act on the anchor: a process whose pid alone, or namespace
// alone, matches (a pid reused, a namespace file left over) must not pass.
TEST(SandboxDir, AnchorIsOnlyALiveProcessWhosePidAndNamespaceBothMatch) {
    const NamespaceMode mode = probeNamespaces();
    if (mode == NamespaceMode::kNone) GTEST_SKIP() << "needs root or user namespaces";
    lyrd_test::TempDir temp;
    const SandboxDir dir(realPath(temp.path()));
    pid_t holder = startNamespacedChild(mode);
    ASSERT_GT(holder, 0);
    const std::string ns = mountNamespaceOf(std::to_string(holder));

    writeText(dir.file("sandbox.ns"), ns + "\n");
    writeText(dir.file("sandbox.pid"), std::to_string(getpid()) + "\n");
    EXPECT_FALSE(dir.anchor().ok()) << "a pid reused by a process outside";
    writeText(dir.file("lyrd.pid"), std::to_string(holder) + "\n");
    EXPECT_EQ(holder, dir.anchor().pid) << "lyrd stands in for a holder that is gone";
    writeText(dir.file("sandbox.ns"), "mnt:[1]\n");
    EXPECT_FALSE(dir.anchor().ok()) << "a namespace that is not the sandbox's";

    writeText(dir.file("sandbox.ns"), ns + "\n");
    kill(holder, SIGKILL);
    std::vector<UniqueFd> ending;
    ending.push_back(openPidfd(holder));
    ASSERT_TRUE(waitForEnd(&ending, Clock::now() + std::chrono::seconds(90)));
    EXPECT_FALSE(dir.anchor().ok()) << "a zombie, not yet reaped";
    reapChild(holder);
}

}  // namespace
}  // namespace sandbox
