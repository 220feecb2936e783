#include <utils/Thread.h>

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

// What a thread did. Shared, because the thread may drop its last reference
// after join() has returned.
struct Tally {
    std::atomic<int> readyCalls{0}, loops{0}, destroyed{0};
    std::string name;
};

// Loops `passes` times (for ever when negative) after readyToRun() gives `ready`.
class ScriptedThread : public android::Thread {
  public:
    ScriptedThread(android::status_t ready, int passes, std::shared_ptr<Tally> tally)
        : mReady(ready), mPasses(passes), mTally(std::move(tally)) {}
    ~ScriptedThread() override { ++mTally->destroyed; }
    android::status_t readyToRun() override {
        ++mTally->readyCalls;
        char name[32] = {};
        pthread_getname_np(pthread_self(), name, sizeof(name));
        mTally->name = name;
        return mReady;
    }
    bool threadLoop() override { return ++mTally->loops < mPasses || mPasses < 0; }

    android::status_t mReady;
    int mPasses;
    std::shared_ptr<Tally> mTally;
};

TEST(RefBase, LastStrongReferenceDestroysAndSelfAssignmentKeeps) {
    auto tally = std::make_shared<Tally>();
    android::sp<ScriptedThread> first = new ScriptedThread(0, 1, tally);
    android::sp<ScriptedThread> second = first;
    const android::sp<ScriptedThread>& itself = second;
    second = itself;
    first = nullptr;
    EXPECT_EQ(0, tally->destroyed);
    second.clear();
    EXPECT_EQ(1, tally->destroyed);
}

TEST(Thread, ReadyToRunOnceThenLoopsWhileTrueUnderACutName) {
    auto ran = std::make_shared<Tally>(), failed = std::make_shared<Tally>();
    android::sp<ScriptedThread> good = new ScriptedThread(android::NO_ERROR, 5, ran);
    android::sp<ScriptedThread> bad = new ScriptedThread(INT32_MIN, 5, failed);
    ASSERT_EQ(android::NO_ERROR, good->run("LYRD Logcat Detect", 0, 0));
    ASSERT_EQ(android::NO_ERROR, bad->run("LYRD Test", 0, 0));
    good->join();
    bad->join();
    EXPECT_EQ(1, ran->readyCalls);
    EXPECT_EQ(5, ran->loops);
    EXPECT_EQ("LYRD Logcat Det", ran->name);
    EXPECT_EQ(0, failed->loops);
}

TEST(Thread, RequestExitEndsAnEndlessLoop) {
    auto tally = std::make_shared<Tally>();
    android::sp<ScriptedThread> thread = new ScriptedThread(0, -1, tally);
    thread->run("LYRD Endless", 0, 0);
    for (int i = 0; i < 20000 && tally->loops == 0; ++i) usleep(1000);  // looping by now
    EXPECT_EQ(android::NO_ERROR, thread->requestExitAndWait());
}

TEST(Thread, RunningThreadOutlivesItsLastOutsideReference) {
    auto tally = std::make_shared<Tally>();
    android::sp<ScriptedThread>(new ScriptedThread(0, 2000, tally))->run("LYRD Test", 0, 0);
    for (int i = 0; i < 20000 && tally->destroyed == 0; ++i) usleep(1000);
    EXPECT_EQ(1, tally->destroyed);
    EXPECT_EQ(2000, tally->loops);
}

}  // namespace
