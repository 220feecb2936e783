#include <android/log.h>

#include <gtest/gtest.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace ornak {
namespace xel {
namespace {

using lyrd_test::LogCapture;
using lyrd_test::TempDir;

TEST(ServiceStartUp, EmptyConfigurationKeepsDefaultsAndStaysStopped) {
    TempDir dir;
    std::string config = dir.write("lyrdebug.conf", "");
    LogCapture log;
    auto* service = new LyrDebugService(config.c_str(), SystemCalls::real());

    EXPECT_EQ(1, service->mStopped);
    EXPECT_STREQ(config.c_str(), service->mConfigPath);
    EXPECT_TRUE(service->mLogDumpPath.isEmpty());
    EXPECT_TRUE(service->mAdditionalConfPath.isEmpty());
    EXPECT_FALSE(service->mUseAdditionalConf);
    EXPECT_EQ(10, service->mMaxDumpCount);
    EXPECT_EQ(1024u, service->mMaxDumpSpace);
    EXPECT_EQ(512u, service->mMinFreeSpace);
    EXPECT_TRUE(service->mLogcatGrep);
    EXPECT_TRUE(service->mKmsgGrep);
    EXPECT_FALSE(service->mMonitorEnabled);
    EXPECT_TRUE(service->mGlobalHandlers.isEmpty());
    EXPECT_TRUE(service->mHandlers.isEmpty());
    EXPECT_TRUE(service->mEvents.isEmpty());
    EXPECT_TRUE(service->mMonitors.isEmpty());
    EXPECT_TRUE(service->mEventGroups.isEmpty());
    EXPECT_EQ(-1, service->mChannel[0].get());
    EXPECT_EQ(-1, service->mChannel[1].get());
    EXPECT_EQ(nullptr, service->mLogGCThread);
    EXPECT_EQ(nullptr, service->mMonitorThread);
    EXPECT_TRUE(log.contains(ANDROID_LOG_DEBUG, "No monitor is enabled"));

    log.clear();
    android::sp<LyrDebugService> owner = service;
    owner.clear();
    EXPECT_TRUE(log.records().empty()) << "a service that never started logs nothing";
}

TEST(ServiceRecords, DefaultsOfEachRecord) {
    LyrDebugService::Handler handler;
    EXPECT_EQ(nullptr, handler.mService);
    EXPECT_EQ(100, handler.mLevel);
    EXPECT_FALSE(handler.mEnabled);
    LyrDebugService::Event event;
    EXPECT_EQ(1, event.mPolicy);
    EXPECT_EQ(0, event.mDumpCount);
    LyrDebugService::Monitor monitor;
    EXPECT_EQ(0, monitor.mLevel);
    EXPECT_FALSE(monitor.mEnabled);
}

TEST(ServiceRecords, EventCopiesAreIndependentDownToHandlerParameters) {
    LyrDebugService::Event event;
    event.mName = "hang";
    event.mHandlers.add();
    event.mHandlers.editItemAt(0).mDumpParas.add(String8("a"));

    LyrDebugService::Event copy = event;
    copy.mHandlers.editItemAt(0).mDumpParas.add(String8("b"));
    copy.mHandlers.editItemAt(0).mLevel = 5;
    event.mDumpCount = 3;

    EXPECT_EQ(1u, event.mHandlers[0].mDumpParas.size());
    EXPECT_EQ(100, event.mHandlers[0].mLevel);
    EXPECT_EQ(2u, copy.mHandlers[0].mDumpParas.size());
    EXPECT_EQ(0, copy.mDumpCount);
}

}  // namespace
}  // namespace xel
}  // namespace ornak
