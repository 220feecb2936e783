#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <binder/Binder.h>
#include <binder/IServiceManager.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>

#include "Processes.h"
#include "ServiceWait.h"
#include "tests/common/TempDir.h"

namespace sandbox {
namespace {

using namespace android;

pid_t startWaiter(const std::string& dir) {
    pid_t child = fork();
    if (child == 0) _exit(awaitService(dir, "svc") ? 0 : 1);
    return child;
}

// The child's exit status, once it has ended within a generous deadline.
int statusOf(pid_t child) {
    std::vector<UniqueFd> pidfds;
    pidfds.push_back(openPidfd(child));
    if (!waitForEnd(&pidfds, Clock::now() + std::chrono::seconds(90))) kill(child, SIGKILL);
    return reapChild(child);
}

TEST(ServiceWait, ReturnsOnceTheServiceAnswersWhetherItAppearsLaterOrIsThere) {
    lyrd_test::TempDir dir;
    // Forked before this process has threads; it waits for what comes.
    pid_t early = startWaiter(dir.path());
    host::setBinderServiceDir(dir.path());
    ProcessState::self()->startThreadPool();
    ASSERT_EQ(NO_ERROR, defaultServiceManager()->addService(String16("svc"), new BBinder()));

    EXPECT_EQ(0, statusOf(early));
    EXPECT_EQ(0, statusOf(startWaiter(dir.path())));
}

TEST(ServiceWait, FailsWhereTheFolderCannotBeWatched) {
    EXPECT_FALSE(awaitService("/nonexistent/hostbinder", "svc"));
}

}  // namespace
}  // namespace sandbox
