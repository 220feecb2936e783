// The service's life, and its binder entry point called with parcels built here.
#include <android/log.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <regex>

#include <binder/Parcel.h>
#include <gtest/gtest.h>

#include "detect/KeyWordIndex.h"
#include "detect/KeyWordMatcher.h"
#include "detect/MonitorThread.h"
#include "dump/LogGCThread.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace {

using namespace ornak::xel;
using android::Parcel;
using Records = std::vector<lyrd_test::LogRecord>;

constexpr char kStarted[] = "global.logcat_grep=0\nglobal.kmsg_grep=0\nmonitor.m.enable=1\n";
constexpr char kToken[] = "ornak.xel.lyrd";

class Service : public ::testing::Test {
  protected:
    void start(const std::string& config) {
        mConfig = mDir.write("lyrdebug.conf", config + "global.log_dump_path=" + mDir.file("d"));
        mService = new LyrDebugService(mConfig.c_str(), SystemCalls::real());
    }

    // Started, with the monitor thread ended so that the test reads the channel itself.
    void startWithoutReader() {
        start(kStarted);
        mService->mMonitorThread->requestExit();
        mService->mMonitorThread->join();
        EXPECT_TRUE(mLog.waitFor("LogGCThread: Finish garbage collection"));
        mLog.clear();
    }

    // Transacts code with token and name, less the request's last cut bytes.
    int32_t call(uint32_t code, const char* token, const std::u16string& name, size_t cut = 0) {
        Parcel data;
        if (token != nullptr) data.writeInterfaceToken(android::String16(token));
        data.writeString16(name.data(), name.size());
        data.setDataSize(data.dataSize() - cut);
        mReply.freeData();
        return mService->transact(code, data, &mReply);
    }

    std::string channel() {
        char buffer[256];
        ssize_t n = recv(mService->mChannel[1].get(), buffer, sizeof(buffer), MSG_DONTWAIT);
        return std::string(buffer, n > 0 ? n : 0);
    }

    lyrd_test::LogCapture mLog;
    lyrd_test::TempDir mDir;
    std::string mConfig;
    sp<LyrDebugService> mService;
    Parcel mReply;
};

TEST_F(Service, WithoutAnEnabledMonitorItCreatesNothingAndAnswersMinus38) {
    start("monitor.m.enable=0\n");
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_DEBUG, "No monitor is enabled"));
    EXPECT_EQ(-1, mService->mChannel[0].get());
    EXPECT_EQ(nullptr, mService->mLogGCThread);

    mLog.clear();
    EXPECT_EQ(0, call(1, kToken, u"hang"));
    EXPECT_EQ(-38, mReply.readInt32());
    mService.clear();
    EXPECT_EQ(Records(), mLog.records());
}

TEST_F(Service, DestructionEndsTheThreadsBeforeStopping) {
    start(kStarted);
    ASSERT_EQ(0, mService->mStopped);
    EXPECT_EQ(nullptr, mService->mLogcatThread);
    EXPECT_EQ(nullptr, mService->mKmsgThread);
    sp<android::Thread> threads[] = {mService->mLogGCThread, mService->mMonitorThread};
    mService.clear();
    for (const sp<android::Thread>& thread : threads) EXPECT_FALSE(thread->isRunning());
    EXPECT_EQ(Records({{ANDROID_LOG_DEBUG, "LyrDebugService", "LYR debug service stopped"}}),
              Records({mLog.records().back()}));
}

TEST_F(Service, SendEventWritesTheNameUpToItsFirstNulAndALineFeed) {
    startWithoutReader();
    const struct {
        std::u16string name;
        size_t cut;
        std::string sent;
        std::string shown;
    } cases[] = {
            {u"hang", 0, "hang\n", "hang"},
            {u"", 0, "", ""},
            {std::u16string(u"ha\0ng", 5), 0, "ha\n", "ha"},
            {u"gpu\u00e9", 0, "gpu\xc3\xa9\n", "gpu\xc3\xa9"},
            {u"hang", 4, "", ""},   // the name cut short
            {u"hang", 16, "", ""},  // no name at all
    };
    for (const auto& c : cases) {
        EXPECT_EQ(0, call(1, kToken, c.name, c.cut)) << c.shown;
        EXPECT_EQ(0, mReply.readInt32());
        EXPECT_EQ(c.sent, channel());
        EXPECT_EQ(Records({{ANDROID_LOG_DEBUG, "LyrDebugService",
                            "Send event " + c.shown + " thru lyrd service"}}),
                  mLog.records());
        mLog.clear();
    }

    mService->mChannel[1].reset();
    EXPECT_EQ(0, call(1, kToken, u"hang"));
    EXPECT_EQ(-110, mReply.readInt32());
    EXPECT_EQ(Records({{ANDROID_LOG_ERROR, "LyrDebugService",
                        "Failed to write event hang to channel"}}),
              mLog.records());
}

// No event has a name longer than a configuration line; in pieces, one
// piece could fire an event.
TEST_F(Service, ANameTooLongForAnyEventIsRefusedWhole) {
    startWithoutReader();
    EXPECT_EQ(0, call(1, kToken, std::u16string(2000, u'x')));
    EXPECT_EQ(-22, mReply.readInt32());
    EXPECT_EQ("", channel());
    EXPECT_EQ(Records({{ANDROID_LOG_WARN, "LyrDebugService", "Event name too long, 2000 bytes"}}),
              mLog.records());
    EXPECT_EQ(0, call(1, kToken, std::u16string(1023, u'x')));
    EXPECT_EQ(0, mReply.readInt32());
    std::string longest;
    for (std::string piece; !(piece = channel()).empty();) longest += piece;
    EXPECT_EQ(std::string(1023, 'x') + "\n", longest);
}

// Once the monitor thread has ended nobody reads the channel: binder callers
// learn it, detection threads drop their names silently.
TEST_F(Service, AfterTheMonitorThreadEndsNothingIsWrittenAndNobodyIsToldSuccess) {
    start(kStarted + std::string("event.e.key_word=hang\nmonitor.m.event=e\n"));
    shutdown(mService->mChannel[0].get(), SHUT_WR);  // the monitor thread reads the end
    ASSERT_TRUE(mLog.waitFor("Monitor thread ended, events are no longer dumped"));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "error recv from monitor thread, 0"));
    mLog.clear();

    EXPECT_EQ(0, call(1, kToken, u"e"));
    EXPECT_EQ(-38, mReply.readInt32());
    KeyWordScan scan(keyWordIndexOf(*mService));
    sendKeyWordEvents(scan, mService->mEventChannel, "gpu hang", -1);
    EXPECT_EQ(Records(), mLog.records());
}

TEST_F(Service, StateReportSaysWhyTheServiceDidNotStart) {
    const std::pair<std::string, std::string> cases[] = {
            {"monitor.m.enable=0\n", "No monitor is enabled"},
            {"monitor.m.event=none\n", "Failed to parse config file"},
    };
    for (const auto& [config, reason] : cases) {
        start(config);
        std::string report = mService->stateReport().string();
        EXPECT_EQ(0u, report.find("service: not started (" + reason +
                                  ")\nthreads: LogGC not created, "
                                  "Logcat Detect not created, Kmsg Detect not created, "
                                  "Monitor not created\n"))
                << report;
    }
}

// Through the dump transaction's entry: the report goes to the caller's
// descriptor.
TEST_F(Service, StateReportCountsWhatTheServiceReceivedAndDumped) {
    start(kStarted + std::string("event.a.policy=always\nevent.o.policy=once\n"
                                 "monitor.m.event=a\nmonitor.m.event=o\n"));
    for (const char16_t* name : {u"a", u"o", u"o", u"zz"}) {
        EXPECT_EQ(0, call(1, kToken, name));
        EXPECT_EQ(0, mReply.readInt32());
    }
    ASSERT_TRUE(mLog.waitFor("Invalid event received, zz"));
    ASSERT_TRUE(mLog.waitFor("LogGCThread: Finish garbage collection"));

    int ends[2];
    ASSERT_EQ(0, pipe2(ends, O_CLOEXEC));
    android::UniqueFd readEnd(ends[0]), writeEnd(ends[1]);
    ASSERT_EQ(0, mService->dump(writeEnd.get(), {}));
    writeEnd.reset();
    std::string report;
    char bytes[512];
    for (ssize_t n; (n = read(readEnd.get(), bytes, sizeof(bytes))) > 0;) report.append(bytes, n);

    const std::string dumps = mDir.file("d") + "/";
    const std::string stamp = "_[0-9]{8}_[0-9]{6}";
    std::regex expected(
            "service: started\n"
            "threads: LogGC running, Logcat Detect not created, "
            "Kmsg Detect not created, Monitor running\n"
            "names received: binder 4, log buffers 0, kmsg 0, uevents 0\n"
            "collection: 1 passes, 0 folders removed\n"
            "event a: dumps=1 refused=0 last=" +
            dumps + "a" + stamp +
            "/\n"
            "event o: dumps=1 refused=1 last=" +
            dumps + "o" + stamp +
            "/\n"
            "newest dumps \\(at most 50, newest first\\):\n"
            "    o o" +
            stamp + "\n    a a" + stamp + "\n");
    EXPECT_TRUE(std::regex_match(report, expected)) << report;
}

TEST_F(Service, WrongTokenIsRefusedAndOtherCodesGetThePlainBinderAnswers) {
    startWithoutReader();
    const char* tokens[] = {"ornak.xel.lyr", "ornak.xel.lyrdx", "ORNAK.XEL.LYRD", nullptr};
    for (const char* token : tokens) {
        EXPECT_EQ(-1, call(1, token, u"hang")) << (token ? token : "no token");
        EXPECT_EQ(0u, mReply.dataSize());
    }
    EXPECT_EQ(-74, call(2, kToken, u"hang"));
    EXPECT_EQ(0u, mReply.dataSize());
    EXPECT_EQ(0, call(android::IBinder::INTERFACE_TRANSACTION, kToken, u"hang"));
    EXPECT_STREQ(kToken, String8(mReply.readString16()).c_str());
    EXPECT_EQ("", channel());
    EXPECT_EQ(Records(), mLog.records());
}

}  // namespace
