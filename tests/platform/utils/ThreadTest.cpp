#include <utils/Thread.h>

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include <gtest/gtest.h>

namespace {

class ScriptedThread : public android::Thread {
  public:
    ScriptedThread(android::status_t ready, int passes) : mReady(ready), mPasses(passes) {}

    android::status_t readyToRun() override {
        ++mReadyCalls;
        char name[32] = {};
        pthread_getname_np(pthread_self(), name, sizeof(name));
        mName = name;
        return mReady;
    }

    std::atomic<int> mReadyCalls{0};
    std::atomic<int> mLoops{0};
    std::string mName;

  private:
    bool threadLoop() override { return ++mLoops < mPasses; }

    android::status_t mReady;
    int mPasses;
};

TEST(Thread, ReadyToRunOnceThenLoopsWhileTrue) {
    android::sp<ScriptedThread> thread = new ScriptedThread(android::NO_ERROR, 5);
    ASSERT_EQ(android::NO_ERROR, thread->run("LYRD Test", 0, 0));
    thread->join();
    EXPECT_EQ(1, thread->mReadyCalls);
    EXPECT_EQ(5, thread->mLoops);
    EXPECT_FALSE(thread->isRunning());
    EXPECT_EQ("LYRD Test", thread->mName);
}

TEST(Thread, NonZeroReadyToRunEndsBeforeTheLoop) {
    android::sp<ScriptedThread> thread = new ScriptedThread(INT32_MIN, 5);
    thread->run("LYRD Test", 0, 0);
    thread->join();
    EXPECT_EQ(1, thread->mReadyCalls);
    EXPECT_EQ(0, thread->mLoops);
}

TEST(Thread, LongNamesAreCutToFifteenBytes) {
    android::sp<ScriptedThread> thread = new ScriptedThread(android::NO_ERROR, 1);
    thread->run("LYRD Logcat Detect", 0, 0);
    thread->join();
    EXPECT_EQ("LYRD Logcat Det", thread->mName);
}

class EndlessThread : public android::Thread {
    bool threadLoop() override { return true; }
};

TEST(Thread, RequestExitEndsAnEndlessLoop) {
    android::sp<EndlessThread> thread = new EndlessThread();
    thread->run("LYRD Endless", 0, 0);
    EXPECT_EQ(android::NO_ERROR, thread->requestExitAndWait());
    EXPECT_FALSE(thread->isRunning());
}

class SelfKeepingThread : public android::Thread {
  public:
    SelfKeepingThread(std::atomic<int>* loops, std::atomic<bool>* destroyed)
        : mLoops(loops), mDestroyed(destroyed) {}
    ~SelfKeepingThread() override { *mDestroyed = true; }

  private:
    bool threadLoop() override { return ++*mLoops < 2000; }
    std::atomic<int>* mLoops;
    std::atomic<bool>* mDestroyed;
};

TEST(Thread, RunningThreadOutlivesItsLastOutsideReference) {
    std::atomic<int> loops{0};
    std::atomic<bool> destroyed{false};
    {
        android::sp<SelfKeepingThread> thread = new SelfKeepingThread(&loops, &destroyed);
        thread->run("LYRD Test", 0, 0);
    }
    for (int i = 0; i < 20000 && !destroyed; ++i) usleep(1000);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(2000, loops);
}

}  // namespace
