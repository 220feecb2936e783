// The service's life, and its binder entry point called with parcels built here.
#include <android/log.h>
#include <sys/socket.h>

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
