// The started service under load: the real monitor and collection threads,
// a shell seam that can hold a handler for as long as a test wants.
#include <string.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "detect/KeyWordIndex.h"
#include "detect/KeyWordMatcher.h"
#include "service/LyrDebugService.h"
#include "tests/common/Eventually.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace {

using namespace ornak::xel;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

class UnderLoad : public ::testing::Test, public SystemCalls {
  protected:
    // The service's threads call this fixture: they end before it goes.
    void TearDown() override {
        release();
        mService.clear();
    }

    // "slow" holds the monitor thread until release(); the rest is real.
    int runShell(const char* line) override {
        if (strcmp(line, "slow") != 0) return ::system(line);
        std::unique_lock<std::mutex> guard(mLock);
        mReleased.wait(guard, [this] { return mRelease; });
        return 0;
    }
    // Every dump in a second of its own.
    time_t now() override { return mNow++; }

    void release() {
        std::lock_guard<std::mutex> guard(mLock);
        mRelease = true;
        mReleased.notify_all();
    }
    void start(const std::string& config) {
        std::string text =
                "global.logcat_grep=0\nglobal.kmsg_grep=0\nglobal.min_free_space=0\n"
                "global.log_dump_path=" +
                mDumps + "\n" + config;
        mConfig = mDir.write("lyrdebug.conf", text);
        mService = new LyrDebugService(mConfig.c_str(), *this);
        ASSERT_EQ(0, mService->mStopped);
    }
    size_t count(const std::string& message) const {
        Strings messages = mLog.messages();
        return std::count(messages.begin(), messages.end(), message);
    }
    Strings dumpFolders() const {
        Strings names;
        for (const auto& entry : fs::directory_iterator(mDumps))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    lyrd_test::LogCapture mLog;
    lyrd_test::TempDir mDir;
    std::string mDumps = mDir.file("dumps"), mConfig;
    std::mutex mLock;
    std::condition_variable mReleased;
    bool mRelease = false;
    std::atomic<time_t> mNow{1796454909};  // 07:15:09 UTC, 5 December 2026
    sp<LyrDebugService> mService;
};

// While one dump holds the monitor thread, thousands of matching entries
// and then one entry of a rare event wait in the channel; none is lost.
TEST_F(UnderLoad, BurstDuringALongDumpWaitsWholeAndInOrder) {
    constexpr int kBurst = 5000;
    start("handler.slow.dump=slow\nhandler.slow.on=1\nhandler.slow.level=0\n"
          "event.burst.key_word=burst!\nevent.burst.policy=once\nevent.burst.handler.slow.on=1\n"
          "event.rare.key_word=rare!\nmonitor.m.enable=1\nmonitor.m.event=burst\n"
          "monitor.m.event=rare\n");
    KeyWordScan scan(keyWordIndexOf(*mService));
    std::atomic<int> written{0};
    std::atomic<bool> stop{false};
    std::thread detection([&] {
        for (int i = 0; i < kBurst && !stop; ++i, ++written) {
            sendKeyWordEvents(scan, mService->mEventChannel, "fifo burst! at 7", -1);
        }
        sendKeyWordEvents(scan, mService->mEventChannel, "one rare! line", -1);
    });
    // The first name is in its dump, a receive's worth more in the monitor
    // thread's hands; at least 2,000 more must wait in the channel.
    bool queued = lyrd_test::eventually([&] { return written >= 2100; });
    if (!queued) stop = true;
    // The dump lasts longer than a writer ever used to wait for room.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    release();
    detection.join();
    ASSERT_TRUE(queued) << written << " names written before the dump ended";

    ASSERT_TRUE(lyrd_test::eventually([&] { return count("Filelist: ") == 2; }));
    Strings messages = mLog.messages();
    auto lastRefusal = std::find(messages.rbegin(), messages.rend(),
                                 "Dump policy for event burst is ONCE, we already dumpped once");
    auto rare = std::find_if(messages.begin(), messages.end(), [](const std::string& m) {
        return m.rfind("Dump event rare to ", 0) == 0;
    });
    EXPECT_EQ(size_t{kBurst}, count("Send msg from channel 1: burst"));
    EXPECT_EQ(size_t{kBurst - 1},
              count("Dump policy for event burst is ONCE, we already dumpped once"));
    ASSERT_NE(messages.end(), rare);
    EXPECT_LT(lastRefusal.base() - messages.begin(), rare - messages.begin());
    EXPECT_EQ(0u, count("Failed to write event burst to channel"));
}

TEST_F(UnderLoad, DumpsBeyondMaxDumpCountAreCollectedWithoutWaitingForTheTimedPass) {
    start("global.max_dump_count=3\nevent.e.policy=always\nmonitor.m.enable=1\n"
          "monitor.m.event=e\n");
    for (int i = 0; i < 6; ++i) ASSERT_EQ(0, mService->sendEvent(String8("e")));
    ASSERT_TRUE(lyrd_test::eventually([&] { return count("Filelist: ") == 6; }));
    EXPECT_TRUE(lyrd_test::eventually([&] {
        return dumpFolders() ==
               Strings({"e_20261205_071512", "e_20261205_071513", "e_20261205_071514"});
    }));
}

}  // namespace
