#include <android/log.h>

#include "dump/DumpStamp.h"
#include "dump/LogGCThread.h"
#include "tests/dump/DumpTestSupport.h"

namespace ornak {
namespace xel {
namespace {

namespace fs = std::filesystem;

TEST(DumpStamp, ReadsTheTailAfterTwoUnderscores) {
    const struct {
        const char* name;
        bool hasStamp;
        uint64_t stamp;
    } cases[] = {
            {"display_hang_20261205_071509", true, 20261205071509},
            {"_20261205_071509", true, 20261205071509},
            {"x_2026ab01_000000", true, 2026},
            {"x_abcdefgh_000000", true, 0},
            {"20261205_071509", false, 0},
            {"hang_20261205-071509", false, 0},
            {"", false, 0},
    };
    for (const auto& c : cases) {
        uint64_t stamp = 12345;
        EXPECT_EQ(c.hasStamp, readDumpStamp(c.name, stamp)) << c.name;
        EXPECT_EQ(c.hasStamp ? c.stamp : 12345, stamp) << c.name;
    }
}

class GarbageCollection : public DumpServiceTest {
  protected:
    GarbageCollection() : mDumps(mDir.file("dumps")) {
        mService->mLogDumpPath = mDumps.c_str();
        fs::create_directories(mDumps);
    }
    void folders(const Strings& names) {
        for (const std::string& name : names) fs::create_directory(mDumps + "/" + name);
    }
    std::string removal(const std::string& name) const {
        return "rm -fr '" + mDumps + "/" + name + "'";
    }

    std::string mDumps;
};

TEST_F(GarbageCollection, KeepsTheNewestDumpsOfAllEventsByStamp) {
    const struct {
        const char* title;
        int32_t limit;
        Strings folders;
        Strings files;
        Strings removed;
    } cases[] = {
            {"as many dumps as the limit",
             3,
             {"a_20260101_000001", "b_20260101_000002", "a_20260101_000003"},
             {},
             {}},
            {"one over the limit, events mixed",
             2,
             {"b_20260101_000002", "a_20260101_000001", "a_20260101_000003"},
             {},
             {"a_20260101_000001"}},
            {"equal stamps counted separately",
             3,
             {"a_20260101_000001", "a_20260101_000002", "b_20260101_000002", "c_20260101_000003"},
             {},
             {"a_20260101_000001"}},
            {"equal stamps at the limit all stay",
             2,
             {"a_20260101_000001", "a_20260101_000002", "b_20260101_000002", "c_20260101_000003"},
             {},
             {"a_20260101_000001"}},
            {"names without a tail neither count nor go",
             1,
             {"notes", "short_000000", "a_20260101-000000", "a_20260101_000001"},
             {},
             {}},
            {"dump-shaped files go but do not count",
             2,
             {"a_20260101_000002", "a_20260101_000003"},
             {"f_20260101_000001", "f_20260101_000009"},
             {"f_20260101_000001"}},
            {"letters in the tail sort as old",
             2,
             {"a_20260101_000001", "a_20260101_000002", "x_2026ab01_000000"},
             {},
             {"x_2026ab01_000000"}},
            {"a limit of zero keeps collection off", 0, {"a_20260101_000001"}, {}, {}},
            {"a negative limit keeps collection off", -1, {"a_20260101_000001"}, {}, {}},
    };
    mFake.mRunForReal = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(mDumps);
        fs::create_directories(mDumps);
        folders(c.folders);
        for (const std::string& file : c.files) mDir.write("dumps/" + file, "x");
        mService->mMaxDumpCount = c.limit;
        mLog.clear();
        size_t earlier = mFake.lines().size();

        mService->removeOldDumps();

        Strings lines = mFake.lines();
        Strings expected, logged;
        for (const std::string& name : c.removed) {
            expected.push_back(removal(name));
            logged.push_back("Remove cmd: " + removal(name));
            EXPECT_FALSE(fs::exists(mDumps + "/" + name)) << name;
        }
        EXPECT_EQ(expected, sorted(Strings(lines.begin() + earlier, lines.end())));
        EXPECT_EQ(logged, sorted(mLog.messages()));
    }
}

TEST_F(GarbageCollection, FailuresAreLoggedAndThePassGoesOn) {
    mService->mMaxDumpCount = 1;
    folders({"a_20260101_000001", "b_20260101_000001", "c_20260101_000002"});
    mFake.mFailing = {removal("a_20260101_000001")};

    mService->removeOldDumps();

    EXPECT_EQ((Strings{removal("a_20260101_000001"), removal("b_20260101_000001")}),
              sorted(mFake.lines()));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Remove old dir a_20260101_000001 failed"));

    mService->mLogDumpPath = mDir.file("missing").c_str();
    mLog.clear();
    mService->removeOldDumps();
    EXPECT_EQ((Strings{"fail to open log dump dir " + mDir.file("missing")}), mLog.messages());
    EXPECT_EQ(2u, mFake.lines().size());
}

TEST_F(GarbageCollection, ThreadCollectsAtStartAndAfterEachPause) {
    mService->mMaxDumpCount = 1;
    folders({"a_20260101_000001", "a_20260101_000002"});
    android::sp<LogGCThread> thread = new LogGCThread(mService.get(), 1);
    ASSERT_EQ(0, thread->run("LYRD LogGC"));
    auto passes = [this] {
        Strings messages = mLog.messages();
        return std::count(messages.begin(), messages.end(),
                          "LogGCThread: Finish garbage collection");
    };
    for (int i = 0; i < 2000 && passes() < 2; ++i) usleep(10 * 1000);
    thread->requestExit();
    ASSERT_EQ(0, thread->join());

    EXPECT_GE(passes(), 2);
    Strings messages = mLog.messages();
    messages.resize(3);
    EXPECT_EQ((Strings{"LogGCThread: Start garbage collection",
                       "Remove cmd: " + removal("a_20260101_000001"),
                       "LogGCThread: Finish garbage collection"}),
              messages);
}

TEST_F(GarbageCollection, RequestExitEndsTheLongPauseAtOnce) {
    android::sp<LogGCThread> thread = new LogGCThread(mService.get());
    ASSERT_EQ(0, thread->run("LYRD LogGC"));
    ASSERT_TRUE(mLog.waitFor("LogGCThread: Finish garbage collection"));

    thread->requestExit();
    for (int i = 0; i < 2000 && thread->isRunning(); ++i) usleep(10 * 1000);

    ASSERT_FALSE(thread->isRunning()) << "still in its 1800 s pause";
    EXPECT_EQ(0, thread->join());
}

}  // namespace
}  // namespace xel
}  // namespace ornak
