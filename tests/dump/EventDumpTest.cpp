#include <android/log.h>

#include <limits>

#include "dump/DumpStamp.h"
#include "tests/dump/DumpTestSupport.h"

namespace ornak {
namespace xel {
namespace {

namespace fs = std::filesystem;
using lyrd_test::LogRecord;

constexpr const char* kName = "display_hang";
constexpr const char* kDirName = "display_hang_20261205_071509";

LogRecord record(int prio, const std::string& message) {
    return {prio, "LyrDebugService", message};
}

class EventDump : public DumpServiceTest {
  protected:
    EventDump() : mDumps(mDir.file("dumps")), mPath(mDumps + "/" + kDirName + "/") {
        mService->mLogDumpPath = mDumps.c_str();
        mFake.mRunForReal = true;
    }
    Event& addEvent(const Event& e) {
        mService->mEvents.add(e);
        return mService->mEvents.editTop();
    }
    std::string mkdirLine(const std::string& path) const { return "mkdir -p '" + path + "'"; }

    std::string mDumps;
    std::string mPath;
};

TEST_F(EventDump, RunsHandlersInTheNewFolderThenCountsNotifiesAndRecords) {
    mService->mGlobalHandlers.add(handler("g", "echo global >", 0, {"global.txt"}));
    Event& e = addEvent(event(kName, {handler("logs", "echo log >", 0, {"main.txt"}),
                                      handler("sub", "mkdir sub && echo s > sub/inner.txt")}));
    mService->mMonitors.add(monitor(true, 0, {e}));

    mService->dumpEvent(kName);

    EXPECT_EQ(mkdirLine(mPath), mFake.lines().at(0));
    EXPECT_EQ("log\n", lyrd_test::readFile(mPath + "main.txt"));
    EXPECT_EQ("s\n", lyrd_test::readFile(mPath + "sub/inner.txt"));
    EXPECT_EQ(mSavedCwd, cwd());
    EXPECT_EQ(1, mService->mEvents[0].mDumpCount);
    EXPECT_EQ(0, mService->mMonitors[0].mEvents[0].mDumpCount) << "copies keep their count";
    ASSERT_EQ(1u, mService->mHistory.size());
    EXPECT_EQ(LyrDebugService::HistoryEntry(kName, kDirName), mService->mHistory[0]);

    // The log folder did not exist yet: the walk finds nothing to weigh.
    std::vector<LogRecord> records = mLog.records("LyrDebugService");
    ASSERT_EQ(10u, records.size());
    std::string fileList = records.back().message;
    records.pop_back();
    const int D = ANDROID_LOG_DEBUG;
    EXPECT_EQ((std::vector<LogRecord>{
                      record(ANDROID_LOG_ERROR, "cannot open directory: " + mDumps + "\n "),
                      record(D, "free=4096MB, total log size=0MB\n"),
                      record(D, "The log level is 0"),
                      record(D, "Dump event display_hang to " + mPath),
                      record(D, "Global handler dump start"),
                      record(D, "Dump cmd: echo global > global.txt"),
                      record(D, "Global handler dump finish"),
                      record(D, "Dump cmd: echo log > main.txt"),
                      record(D, "Dump cmd: mkdir sub && echo s > sub/inner.txt"),
              }),
              records);

    // Top-level files only, each as its full path and ";", in listing order.
    std::string a = mPath + "global.txt;", b = mPath + "main.txt;";
    EXPECT_TRUE(fileList == "Filelist: " + a + b || fileList == "Filelist: " + b + a) << fileList;
    EXPECT_EQ((Strings{"lct_log_all type=2 tag=LYRD event=display_hang files=" +
                       fileList.substr(10) + " flags=0"}),
              mLog.messages("LCT"));
}

TEST_F(EventDump, RefusalsComeInOrderAndChangeNothing) {
    const time_t kNoDate = std::numeric_limits<time_t>::max();
    const struct {
        const char* title;
        uint64_t freeMb;
        uint32_t minFree, maxSpace;
        int64_t treeBytes;
        const char* name;
        time_t now;
        LogRecord last;
    } cases[] = {
            {"space before name", 100, 512, 1024, 0, "unknown", FakeSystemCalls::kDumpTime,
             record(ANDROID_LOG_WARN,
                    "No enough space, MinFreeSpace: 512MB, CurrentFreeSpace: 100MB")},
            {"tree size before name", 4096, 512, 1, 1 << 20, "unknown", FakeSystemCalls::kDumpTime,
             record(ANDROID_LOG_WARN,
                    "Log size is too large, MaxLogSize: 1MB, CurrentLogSize: 1MB")},
            {"a tree of several GiB", 4096, 512, 3072, int64_t{3} << 30, kName,
             FakeSystemCalls::kDumpTime,
             record(ANDROID_LOG_WARN,
                    "Log size is too large, MaxLogSize: 3072MB, CurrentLogSize: 3072MB")},
            {"no dump space at all", 4096, 512, 0, 0, kName, FakeSystemCalls::kDumpTime,
             record(ANDROID_LOG_WARN,
                    "Log size is too large, MaxLogSize: 0MB, CurrentLogSize: 0MB")},
            {"no free space needed", 0, 0, 1024, 0, "unknown", FakeSystemCalls::kDumpTime,
             record(ANDROID_LOG_WARN, "Invalid event received, unknown")},
            {"name compared exactly", 4096, 512, 1024, 0, "display_han", FakeSystemCalls::kDumpTime,
             record(ANDROID_LOG_WARN, "Invalid event received, display_han")},
            {"no date for the folder", 4096, 512, 1024, 0, kName, kNoDate,
             record(ANDROID_LOG_ERROR, "Get time failed")},
            {"no shell for mkdir", 4096, 512, 1024, 0, kName, FakeSystemCalls::kDumpTime,
             record(ANDROID_LOG_ERROR, "Create log dump dir failed, " + mPath)},
    };
    addEvent(event(kName, {handler("h", "true")}));
    fs::create_directories(mDumps);
    mFake.mFailing = {mkdirLine(mPath)};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(makeSparseFile(mDumps + "/filler", c.treeBytes));
        mFake.mFreeMb = c.freeMb;
        mFake.mNow = c.now;
        mService->mMinFreeSpace = c.minFree;
        mService->mMaxDumpSpace = c.maxSpace;
        mLog.clear();

        mService->dumpEvent(c.name);

        EXPECT_EQ(c.last, mLog.records().back());
        for (const std::string& line : mFake.lines()) EXPECT_EQ(mkdirLine(mPath), line);
        EXPECT_EQ(0, mService->mEvents[0].mDumpCount);
        EXPECT_TRUE(mService->mHistory.isEmpty());
    }
}

TEST_F(EventDump, UnknownFreeSpaceSkipsThatCheckAndHugeTreesAreWeighedInFull) {
    mFake.mStatFsFails = true;
    mService->mMinFreeSpace = UINT32_MAX;
    mService->mMaxDumpSpace = 4096;
    fs::create_directories(mDumps);
    ASSERT_TRUE(makeSparseFile(mDumps + "/big", int64_t{3} << 30));
    addEvent(event(kName));

    mService->dumpEvent(kName);

    Strings messages = mLog.messages();
    EXPECT_EQ(record(ANDROID_LOG_WARN, "Cannot get free space of /data, skip the check"),
              mLog.records().at(0));
    EXPECT_EQ(1, std::count(messages.begin(), messages.end(),
                            "Cannot get free space of /data, skip the check"));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_DEBUG, "free=0MB, total log size=3072MB\n"));
    EXPECT_EQ(1, mService->mEvents[0].mDumpCount);
}

TEST_F(EventDump, TwoDumpsInOneSecondShareTheFolderAndOnceStopsTheNext) {
    addEvent(event(kName, {handler("n", "echo x >>", 0, {"n.txt"})}));
    mService->dumpEvent(kName);
    mService->dumpEvent(kName);
    mService->mEvents.editItemAt(0).mPolicy = Event::kPolicyOnce;
    mService->dumpEvent(kName);

    EXPECT_EQ((Strings{kDirName}), listDir(mDumps));
    EXPECT_EQ("x\nx\n", lyrd_test::readFile(mPath + "n.txt"));
    EXPECT_EQ(2, mService->mEvents[0].mDumpCount);
    ASSERT_EQ(2u, mService->mHistory.size());
    EXPECT_EQ(mService->mHistory[0], mService->mHistory[1]);
    EXPECT_EQ(record(ANDROID_LOG_DEBUG,
                     "Dump policy for event display_hang is ONCE, we already dumpped once"),
              mLog.records().back());
}

TEST_F(EventDump, LevelIsTheHighestOfTheEnabledMonitorsHoldingTheEvent) {
    Event hang = event("hang", {handler("a", "true h80", 80), handler("b", "true h81", 81)});
    Event lone = event("lone", {handler("c", "true l0", 0), handler("d", "true l-5", -5),
                                handler("e", "true l1", 1)});
    addEvent(hang);
    addEvent(lone);
    mService->mGlobalHandlers.add(handler("g", "true g50", 50));
    mService->mMonitors.add(monitor(true, 50, {hang}));
    mService->mMonitors.add(monitor(true, 80, {event("other"), hang}));
    mService->mMonitors.add(monitor(false, 200, {hang, lone}));
    mService->mMonitors.add(monitor(true, 300, {event("other")}));

    mService->dumpEvent("hang");
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_DEBUG, "The log level is 80"));
    mService->dumpEvent("lone");
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_DEBUG, "The log level is 0"));

    EXPECT_EQ((Strings{mkdirLine(mDumps + "/hang_20261205_071509/"), "true g50", "true h80",
                       mkdirLine(mDumps + "/lone_20261205_071509/"), "true l0", "true l-5"}),
              mFake.lines());
}

// With no log dump path the folder would sit at the root: the shell is
// faked, so nothing is made there and the folder stays missing.
TEST_F(EventDump, DumpGoesOnOutsideTheFolderAndPastAFailedHandler) {
    mFake.mRunForReal = false;
    mService->mLogDumpPath = "";
    std::string rootPath = std::string("/") + kDirName + "/";
    mFake.mFailing = {"bad"};
    mService->mGlobalHandlers.add(handler("g", "global"));
    addEvent(event(kName, {handler("b", "bad"), handler("later", "later")}));

    mService->dumpEvent(kName);

    EXPECT_EQ((Strings{mkdirLine(rootPath), "global", "bad"}), mFake.lines());
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "cannot open directory: \n "));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "chdir() to " + rootPath + " failed"));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "fail to open log dump dir " + rootPath));
    EXPECT_TRUE(mLog.records("LCT").empty());
    EXPECT_EQ(1, mService->mEvents[0].mDumpCount);
    EXPECT_EQ(1u, mService->mHistory.size());
    EXPECT_EQ(mSavedCwd, cwd());
}

TEST_F(EventDump, WorkingDirectoryTooLongToSaveIsNotRestored) {
    std::string deep = mDir.path();
    while (deep.size() <= 1100) deep += "/" + std::string(60, 'd');
    fs::create_directories(deep);
    fs::create_directories(mDumps);
    ASSERT_EQ(0, chdir(deep.c_str()));
    addEvent(event(kName));

    mService->dumpEvent(kName);

    std::vector<LogRecord> records = mLog.records();
    EXPECT_EQ(1, std::count_if(records.begin(), records.end(),
                               [](const LogRecord& r) { return r.prio == ANDROID_LOG_ERROR; }));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Save current dir failed"));
    EXPECT_EQ(1, mService->mEvents[0].mDumpCount);
    EXPECT_EQ(mDumps + "/" + kDirName, cwd());
}

// Names reach the shell as single words: one folder made, one removed,
// nothing else run.
TEST_F(EventDump, RealShellTakesNamesWithBlanksQuotesAndSemicolonsLiterally) {
    const std::string name = "a b'c;touch pwned";
    android::sp<LyrDebugService> real = new LyrDebugService(mConfig.c_str(), SystemCalls::real());
    std::string tree = mDir.file("dump tree");
    real->mLogDumpPath = tree.c_str();
    real->mMinFreeSpace = 0;
    Event e = event(name.c_str());
    e.mService = real.get();
    real->mEvents.add(e);
    std::string work = mDir.file("work");
    fs::create_directories(work);
    ASSERT_EQ(0, chdir(work.c_str()));
    std::string oldDump = "x y'z;touch pwned2_20200101_000000";
    fs::create_directories(tree + "/" + oldDump);

    real->dumpEvent(name.c_str());

    Strings dumps = listDir(tree);
    ASSERT_EQ(2u, dumps.size());
    EXPECT_EQ(name + "_", dumps[0].substr(0, name.size() + 1));
    uint64_t stamp;
    EXPECT_TRUE(readDumpStamp(dumps[0].c_str(), stamp));
    EXPECT_EQ(oldDump, dumps[1]);

    real->mMaxDumpCount = 1;
    real->removeOldDumps();
    EXPECT_EQ((Strings{dumps[0]}), listDir(tree));
    EXPECT_TRUE(listDir(work).empty());
    EXPECT_EQ((Strings{"dump tree", "lyrdebug.conf", "work"}), listDir(mDir.path()));
}

}  // namespace
}  // namespace xel
}  // namespace ornak
