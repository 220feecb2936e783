// A shell line with a time limit: the same outcome as system() while it
// keeps within the limit, its whole process group ended when it does not.
#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <string>

#include <gtest/gtest.h>

#include "service/runtime/ShellSpawn.h"
#include "tests/common/Eventually.h"
#include "tests/common/TempDir.h"

namespace {

using ornak::xel::runShellWithin;
using ornak::xel::ShellOutcome;

TEST(ShellSpawn, WithinItsLimitALineEndsAsUnderSystem) {
    const char* lines[] = {"true",         "exit 3",          "kill -TERM $$",
                           "kill -INT $$", "no-such-command", "echo out; echo err >&2"};
    for (const char* line : lines) {
        ShellOutcome outcome = runShellWithin(line, 30);
        EXPECT_FALSE(outcome.timedOut) << line;
        EXPECT_EQ(system(line), outcome.status) << line;
    }
}

// Each line writes its process group (its shell's pid) to a file first.
TEST(ShellSpawn, PastItsLimitTheWholeGroupEndsEvenWhatIgnoresTerm) {
    lyrd_test::TempDir dir;
    const std::string group = dir.file("group");
    const std::pair<std::string, int> cases[] = {
            {"echo $$ > " + group + "; sleep 30 & sleep 30", SIGTERM},
            {"trap '' TERM; echo $$ > " + group + "; sleep 30 & sleep 30", SIGKILL},
    };
    for (const auto& [line, signal] : cases) {
        ShellOutcome outcome = runShellWithin(line.c_str(), 1);
        EXPECT_TRUE(outcome.timedOut) << line;
        EXPECT_TRUE(WIFSIGNALED(outcome.status) && WTERMSIG(outcome.status) == signal) << line;
        // Killed members may stay zombies for a moment, until their new
        // parent reaps them.
        pid_t pgid = std::stoi(lyrd_test::readFile(group));
        EXPECT_TRUE(lyrd_test::eventually([pgid] { return kill(-pgid, 0) != 0 && errno == ESRCH; }))
                << "left in the group: " << line;
    }
}

}  // namespace
