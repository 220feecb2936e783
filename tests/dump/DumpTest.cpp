// The fixture records shell lines and fakes the clock and free space.
#include <android/log.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "config/Event.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "dump/DirSize.h"
#include "dump/LogGCThread.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace ornak {
namespace xel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Handler = LyrDebugService::Handler;
using Event = LyrDebugService::Event;

class DumpTest : public ::testing::Test, public SystemCalls {
  protected:
    DumpTest() {
        mService->mLogDumpPath = mDumps.c_str();
        mLog.clear();
    }
    ~DumpTest() override { EXPECT_EQ(0, chdir(mSavedCwd.c_str())); }  // dumpEvent moves it

    int runShell(const char* line) override {
        mLines.push_back(line);                    // read only while no other thread runs the shell
        if (mFailing.count(line) != 0) return -1;  // as when no shell can start
        return mRunForReal ? ::system(line) : 0;
    }
    time_t now() override { return 1796454909; }  // 07:15:09 UTC, 5 December 2026
    android::nsecs_t monotonicTime() override { return android::seconds_to_nanoseconds(mUptime); }
    int statFs(const char* path, struct statfs* out) override {
        *out = {};
        out->f_bsize = 4096;
        out->f_bfree = mFreeMb * 256;  // blocks kept for root count as free
        return mStatFsFails || strcmp(path, "/data") != 0 ? -1 : 0;
    }

    Handler handler(const char* cmd, int32_t level = 0, std::vector<const char*> paras = {}) {
        Handler h;
        h.mName = h.mEnableCmd = h.mDumpCmd = cmd;
        h.mLevel = level;
        h.mEnabled = true;
        for (const char* para : paras) h.mDumpParas.add(String8(para));
        return h;
    }
    Event addEvent(const char* name, std::vector<Handler> handlers = {}) {
        Event e;
        e.mName = name;
        for (const Handler& h : handlers) e.mHandlers.add(h);
        mService->mEvents.add(e);
        return e;
    }
    void addMonitor(bool enabled, int32_t level, std::vector<Event> events) {
        LyrDebugService::Monitor m;
        m.mEnabled = enabled;
        m.mLevel = level;
        for (const Event& e : events) m.mEvents.add(e);
        mService->mMonitors.add(m);
    }
    // The service's records as logcat shows them: "<priority letter> <message>".
    Strings logged() const {
        Strings out;
        for (const auto& r : mLog.records("LyrDebugService"))
            out.push_back("??VDIWEF"[r.prio] + (" " + r.message));
        return out;
    }
    std::string rm(const std::string& name) { return "rm -fr -- '" + mDumps + "/" + name + "'"; }
    static std::string mkdir(const std::string& path) { return "mkdir -p -- '" + path + "'"; }

    Strings mLines;
    std::set<std::string> mFailing;
    bool mRunForReal = false, mStatFsFails = false;
    uint64_t mFreeMb = 4096;
    int64_t mUptime = 1000;  // seconds
    lyrd_test::TempDir mDir;
    std::string mDumps = mDir.file("dumps"), mPath = mDumps + "/hang_20261205_071509/";
    std::string mSavedCwd = fs::current_path();
    lyrd_test::LogCapture mLog;
    android::sp<LyrDebugService> mService = new LyrDebugService("/dev/null", *this);
};

TEST_F(DumpTest, HandlerPassesTestEnabledAndLevelAndStopWhereEachPassSays) {
    Handler off = handler("off"), none = handler(""), fail = handler("fail", -3, {"1", "2"});
    off.mEnabled = false;
    none.mName = "none";
    fail.mEnableCmd = "init";
    fail.mEnableParas = fail.mDumpParas;
    Handler equal = handler("equal", 5), after = handler("after", 0, {"out.txt"});
    mService->mGlobalHandlers =
            addEvent("all", {handler("high", 6), off, equal, fail, after, none}).mHandlers;
    addMonitor(true, 5, {addEvent("e1", {equal, handler("high", 6)}), addEvent("e2", {equal})});
    addMonitor(false, 500, {addEvent("e3", {after})});
    mFailing = {"init 1", "fail 1"};

    EXPECT_EQ(0, mService->enableHandlers());
    EXPECT_EQ((Strings{"D Enable global handlers", "D Enable cmd: high", "D Enable cmd: equal",
                       "D Enable cmd: init 1", "E Enable handler failed, init 1",
                       "E Enable handler failed, cmd: init", "D Enable cmd: after",
                       "D No enable cmd for none", "D Enable monitor", "D Enable cmd: equal",
                       "D Enable cmd: equal"}),
              logged());
    mLog.clear();
    mService->dumpGlobalHandlers(5);
    EXPECT_EQ(-1, addEvent("hang", {fail, after}).dumpHandlers(5, mService->handlerShell()));
    EXPECT_EQ((Strings{"D Global handler dump start", "D Dump cmd: equal", "D Dump cmd: fail 1",
                       "E Dump handler failed, fail 1", "D Dump cmd: after out.txt",
                       "D No dump cmd for none", "D Global handler dump finish",
                       "D Dump cmd: fail 1", "E Dump handler failed, fail 1",
                       "E Dump handler failed for event hang, handler " +
                               std::string(fail.statusText(0).string())}),
              logged());
}

// No monitor holds the event, and the log folder does not exist yet.
TEST_F(DumpTest, DumpRunsHandlersInANewFolderThenCountsNotifiesAndRecords) {
    mRunForReal = mStatFsFails = true;
    mService->mGlobalHandlers.add(handler("echo g", 0, {"> g.txt"}));
    addEvent("hang", {handler("exit 1"), handler("mkdir s && touch s/in")});

    mService->dumpEvent("hang");

    EXPECT_EQ(mSavedCwd, fs::current_path());
    EXPECT_EQ((Strings{"W Cannot get free space of /data, skip the check",
                       "E cannot open directory: " + mDumps + "\n ",
                       "D free=0MB, total log size=0MB\n", "D The log level is 0",
                       "D Dump event hang to " + mPath, "D Global handler dump start",
                       "D Dump cmd: echo g > g.txt", "D Global handler dump finish",
                       "D Dump cmd: exit 1", "D Dump cmd: mkdir s && touch s/in",
                       "D Filelist: " + mPath + "g.txt;"}),
              logged());
    EXPECT_EQ(Strings{"lct_log_all type=2 tag=LYRD event=hang files=" + mPath + "g.txt; flags=0"},
              mLog.messages("LCT"));
    std::string report = mService->dumpStatus().string();
    EXPECT_EQ("\nHistory events:    hang hang_20261205_071509", report.substr(report.rfind('\n')));
}

// Space is checked before the name is looked up, and the dump folder is made
// last; the shell is faked, so a test that dumps makes the folder itself.
class DumpLimitTest : public DumpTest {
  protected:
    DumpLimitTest() {
        Event hang = addEvent("hang", {handler("h80", 80), handler("h81", 81), handler("bad")});
        addMonitor(true, 50, {hang});
        addMonitor(true, 80, {addEvent("other"), hang});
        addMonitor(false, 200, {hang});
        addMonitor(true, 300, {addEvent("other")});
        mService->mEvents.editItemAt(0).mPolicy = Event::kPolicyOnce;
        mFailing = {"bad"};
        mFreeMb = mService->mMinFreeSpace = 0;
        mService->mMaxDumpSpace = 3072;
    }
    // Dumps name with a log tree of treeBytes; the dump's last log line.
    std::string dump(const char* name, int64_t treeBytes = 0) {
        fs::resize_file(mDir.write("dumps/filler", ""), treeBytes);  // sparse: takes no room
        mService->dumpEvent(name);
        return logged().back();
    }
    void expectNothingDumped() {
        EXPECT_EQ(0, mService->mEvents[0].mDumpCount);
        EXPECT_EQ(0u, mService->mHistory.size());
    }
};

TEST_F(DumpLimitTest, TooLittleFreeSpaceRefusesEvenANameOfNoEvent) {
    mFreeMb = 100;
    mService->mMinFreeSpace = 512;
    EXPECT_EQ("W No enough space, MinFreeSpace: 512MB, CurrentFreeSpace: 100MB", dump("none"));
    EXPECT_EQ(Strings{}, mLines);
}

TEST_F(DumpLimitTest, ATreeAtMaxDumpSpaceRefusesEvenANameOfNoEvent) {
    EXPECT_EQ("W Log size is too large, MaxLogSize: 3072MB, CurrentLogSize: 3072MB",
              dump("none", int64_t{3} << 30));
    EXPECT_EQ(Strings{}, mLines);
}

TEST_F(DumpLimitTest, ANameOfNoEventIsRefused) {
    EXPECT_EQ("W Invalid event received, han", dump("han"));
    EXPECT_EQ(Strings{}, mLines);
}

TEST_F(DumpLimitTest, AFolderThatCannotBeMadeRefusesTheDumpWithoutCountingIt) {
    mFailing.insert(mkdir(mPath));
    EXPECT_EQ("E Create log dump dir failed, " + mPath, dump("hang"));
    EXPECT_EQ(Strings{mkdir(mPath)}, mLines);
    expectNothingDumped();

    mFailing.erase(mkdir(mPath));
    fs::create_directories(mPath);
    EXPECT_EQ("D Filelist: ", dump("hang"));  // the refusal did not use up the once event
}

// Monitors at 50 and 80 hold the event; the one at 200 is off and the one
// at 300 holds only another event.
TEST_F(DumpLimitTest, HandlersRunAtTheHighestLevelOfTheEnabledMonitorsHoldingTheEvent) {
    fs::create_directories(mPath);
    EXPECT_EQ("D Filelist: ", dump("hang"));
    EXPECT_EQ((Strings{mkdir(mPath), "h80", "bad"}), mLines);
    EXPECT_EQ(1, mService->mEvents[0].mDumpCount);
    EXPECT_EQ(1u, mService->mHistory.size());
}

TEST_F(DumpLimitTest, OncePolicyRefusesTheSecondDump) {
    fs::create_directories(mPath);
    dump("hang");
    EXPECT_EQ("D Dump policy for event hang is ONCE, we already dumpped once", dump("hang"));
    EXPECT_EQ(1, mService->mEvents[0].mDumpCount);
}

TEST_F(DumpLimitTest, AlwaysPolicyDumpsAgainIntoTheSameSecondsFolder) {
    mService->mEvents.editItemAt(0).mPolicy = Event::kPolicyAlways;
    fs::create_directories(mPath);
    dump("hang");
    EXPECT_EQ("D Filelist: ", dump("hang"));
    EXPECT_EQ((Strings{mkdir(mPath), "h80", "bad", mkdir(mPath), "h80", "bad"}), mLines);
    EXPECT_EQ(2, mService->mEvents[0].mDumpCount);
    EXPECT_EQ(2u, mService->mHistory.size());
}

// The interval runs from the start of the last dump that counted, on the
// monotonic clock, and is looked at after the once policy.
TEST_F(DumpTest, MinIntervalRefusesADumpTooSoonAfterTheLastOne) {
    addEvent("hang");
    mService->mEvents.editItemAt(0).mMinInterval = 10;
    fs::create_directories(mPath);  // the fake shell makes nothing
    const std::string skipped = "D Dump of event hang skipped, last dump ";
    const std::pair<int64_t, std::string> steps[] = {
            {1000, "D Filelist: "},
            {1009, skipped + "9 s ago, min_interval 10 s"},
            {1010, "D Filelist: "},
            {1015, skipped + "5 s ago, min_interval 10 s"},
    };
    for (const auto& [uptime, last] : steps) {
        mUptime = uptime;
        mService->dumpEvent("hang");
        EXPECT_EQ(last, logged().back()) << uptime;
    }
    EXPECT_EQ(2, mService->mEvents[0].mDumpCount);

    mService->mEvents.editItemAt(0).mPolicy = Event::kPolicyOnce;
    mService->dumpEvent("hang");
    EXPECT_EQ("D Dump policy for event hang is ONCE, we already dumpped once", logged().back());
}

// Every refusal of a configured event counts for it; a name of no event
// counts nowhere.
TEST_F(DumpTest, StatsCountEachEventsDumpsRefusalsAndLastDump) {
    addEvent("hang");
    addEvent("once");
    mService->mEvents.editItemAt(1).mPolicy = Event::kPolicyOnce;
    mService->mStats.setEventCount(mService->mEvents.size());
    fs::create_directories(mPath);
    fs::create_directories(mDumps + "/once_20261205_071509");
    mService->dumpEvent("once");
    mService->dumpEvent("once");    // used up
    mService->dumpEvent("nobody");  // no such event
    mFreeMb = 1;                    // too little room
    mService->dumpEvent("hang");
    mFreeMb = 4096;
    mFailing = {mkdir(mPath)};  // no folder
    mService->dumpEvent("hang");
    mFailing.clear();
    mService->dumpEvent("hang");

    ServiceStats::Snapshot stats = mService->mStats.snapshot();
    ASSERT_EQ(2u, stats.events.size());
    EXPECT_EQ(1u, stats.events[0].dumps);
    EXPECT_EQ(2u, stats.events[0].refusals);
    EXPECT_EQ(mPath, stats.events[0].lastDumpPath.string());
    EXPECT_EQ(1u, stats.events[1].dumps);
    EXPECT_EQ(1u, stats.events[1].refusals);
    ASSERT_EQ(2u, stats.newestDumps.size());
    EXPECT_STREQ("hang", stats.newestDumps[0].first.string());
    EXPECT_STREQ("once_20261205_071509", stats.newestDumps[1].second.string());
}

// A file in the dump folder's place: the folder cannot be entered, and the
// handlers must not write where the daemon happens to stand.
TEST_F(DumpTest, AFolderThatCannotBeEnteredRunsNothingAndCountsNothing) {
    mRunForReal = true;
    ASSERT_EQ(0, chdir(mDir.path().c_str()));
    mService->mGlobalHandlers.add(handler("touch global"));
    addEvent("hang", {handler("touch own")});
    mService->mEvents.editItemAt(0).mPolicy = Event::kPolicyOnce;
    std::string inTheWay = mDir.write("dumps/hang_20261205_071509", "a file");

    mService->dumpEvent("hang");
    EXPECT_EQ("E chdir() to " + mPath + " failed", logged().back());
    EXPECT_FALSE(fs::exists(mDir.file("global")) || fs::exists(mDir.file("own")));
    EXPECT_EQ(Strings(), mLog.messages("LCT"));
    EXPECT_EQ(0, mService->mEvents[0].mDumpCount);
    EXPECT_TRUE(mService->mHistory.isEmpty());

    fs::remove(inTheWay);
    mService->dumpEvent("hang");  // the once event was not used up
    EXPECT_TRUE(fs::exists(mPath + "global") && fs::exists(mPath + "own"));
    EXPECT_EQ(1, mService->mEvents[0].mDumpCount);
}

TEST_F(DumpTest, ALogDumpPathBeginningWithADashIsAPathForMkdirAndRm) {
    mRunForReal = true;
    ASSERT_EQ(0, chdir(mDir.path().c_str()));
    mService->mLogDumpPath = "-dumps";
    mDir.write("-dumps/old_20200101_000000/f", "");
    addEvent("hang");
    mService->dumpEvent("hang");
    EXPECT_TRUE(fs::is_directory(mDir.file("-dumps/hang_20261205_071509")));

    mService->mMaxDumpCount = 1;
    mService->removeOldDumps();
    EXPECT_FALSE(fs::exists(mDir.file("-dumps/old_20200101_000000")));
    EXPECT_TRUE(fs::exists(mDir.file("-dumps/hang_20261205_071509")));
}

// Only the shell seam's time-limited path runs for real here.
TEST_F(DumpTest, AHandlerCommandPastTheLimitIsEndedAndTheNextCommandRuns) {
    ASSERT_EQ(0, chdir(mDir.path().c_str()));
    mService->mHandlerTimeout = 1;
    const std::string hung = "sleep 30 & sleep 30";
    mService->mGlobalHandlers.add(handler(hung.c_str()));
    mService->mGlobalHandlers.add(handler("touch next"));

    mService->dumpGlobalHandlers(0);
    EXPECT_EQ((Strings{"D Global handler dump start", "D Dump cmd: " + hung,
                       "W Handler command timed out after 1 s: " + hung, "D Dump cmd: touch next",
                       "D Global handler dump finish"}),
              logged());
    EXPECT_TRUE(fs::exists(mDir.file("next")));
    EXPECT_TRUE(mLines.empty()) << "a limited command never goes through system()";
}

TEST_F(DumpTest, DirSizeCountsLinksByTheirTargetsAndNeverEntersThem) {
    mDir.write("tree/ten", "0123456789");
    fs::resize_file(mDir.write("tree/a/b/huge", ""), int64_t{5} << 30);  // sparse: takes no room
    fs::create_symlink("ten", mDir.file("tree/link"));
    fs::create_symlink(mDir.path(), mDir.file("tree/a/b/up"));
    fs::create_symlink("missing", mDir.file("tree/dangling"));
    struct stat top;
    ASSERT_EQ(0, stat(mDir.path().c_str(), &top));

    int64_t total = 7;
    getDirSize(mDir.file("tree").c_str(), total);

    EXPECT_EQ(7 + 10 + 10 + top.st_size + (int64_t{5} << 30), total);
    EXPECT_EQ(mSavedCwd, fs::current_path());
}

// Names that end in "/" are folders.
TEST_F(DumpTest, CollectionKeepsTheNewestDumpsOfAllEventsByStamp) {
    const std::tuple<int32_t, std::string, std::string> cases[] = {
            {2, "b_20260101_000002/ a_20260101_000001/ a_20260101_000002/", "a_20260101_000001"},
            {1, "b_20260101_000002/ a_20260101_000001/ a_20260101_000002/", "a_20260101_000001"},
            {1, "notes/ short_000000/ a_20260101-000000/ a_20260101_000001/", ""},
            {1, "a_20260101_000003/ f_20260101_000009 f_20260101_000001", "f_20260101_000001"},
            {2, "a_20260101_000001/ a_20260101_000002/ x_2026ab01_000000/", "x_2026ab01_000000"},
            {1, "notes/", ""},
            {0, "a_20260101_000001/", ""},
    };
    for (const auto& [limit, names, removed] : cases) {
        fs::remove_all(mDumps);
        std::istringstream in(names);
        for (std::string name; in >> name;) mDir.write("dumps/" + name, "");
        mService->mMaxDumpCount = limit;
        mLog.clear();
        mService->removeOldDumps();
        EXPECT_EQ(removed.empty() ? Strings{} : Strings{"D Remove cmd: " + rm(removed)}, logged());
    }
}

TEST_F(DumpTest, CollectionThreadPassesAtStartAndAgainAfterEachPause) {
    mService->mMaxDumpCount = 1;
    for (const char* dump : {"a_20260101_000001/", "a_20260101_000002/"})
        mDir.write("dumps/" + std::string(dump), "");
    mFailing = {rm("a_20260101_000001")};
    android::sp<LogGCThread> thread = new LogGCThread(mService.get(), 1);
    ASSERT_EQ(0, thread->run("LYRD LogGC"));
    for (int i = 0; i < 2000 && logged().size() < 8; ++i) usleep(10000);
    thread->requestExit();
    EXPECT_EQ(0, thread->join());

    const Strings pass = {"D LogGCThread: Start garbage collection",
                          "D Remove cmd: " + rm("a_20260101_000001"),
                          "E Remove old dir a_20260101_000001 failed",
                          "D LogGCThread: Finish garbage collection"};
    Strings log = logged();
    log.resize(8);
    EXPECT_EQ(pass, Strings(log.begin(), log.begin() + 4));
    EXPECT_EQ(pass, Strings(log.begin() + 4, log.end()));
}

}  // namespace
}  // namespace xel
}  // namespace ornak
