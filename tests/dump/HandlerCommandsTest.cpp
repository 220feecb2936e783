#include <android/log.h>

#include <gtest/gtest.h>

#include "tests/dump/DumpTestSupport.h"

namespace ornak {
namespace xel {
namespace {

class HandlerCommands : public DumpServiceTest {
  protected:
    Handler enabler(const char* name, const char* enableCmd, int32_t level,
                    std::initializer_list<const char*> paras = {}) const {
        Handler h = handler(name, "", level);
        h.mEnableCmd = enableCmd;
        for (const char* para : paras) h.mEnableParas.add(String8(para));
        return h;
    }
};

TEST_F(HandlerCommands, EnablePassesVisitEnabledHandlersOfEnabledMonitorsOncePerCopy) {
    Handler off = enabler("off", "never", 0);
    off.mEnabled = false;
    mService->mGlobalHandlers.add(enabler("g", "gcmd -x", 1000, {"a b", "c"}));
    mService->mGlobalHandlers.add(off);
    mService->mGlobalHandlers.add(enabler("empty", "", 0, {"p1", "p2"}));
    Handler shared = enabler("shared", "scmd", 50);
    Handler high = enabler("high", "hcmd", 100);
    mService->mMonitors.add(
            monitor(true, 50, {event("e1", {shared, high, off}), event("e2", {shared})}));
    mService->mMonitors.add(monitor(false, 500, {event("e3", {enabler("d", "dcmd", 0)})}));

    EXPECT_EQ(0, mService->enableHandlers());

    EXPECT_EQ((Strings{"gcmd -x a b", "gcmd -x c", "scmd", "scmd"}), mFake.lines());
    EXPECT_EQ((Strings{"Enable global handlers", "Enable cmd: gcmd -x a b", "Enable cmd: gcmd -x c",
                       "No enable cmd for empty", "Enable monitor", "Enable cmd: scmd",
                       "Enable cmd: scmd"}),
              mLog.messages());
}

TEST_F(HandlerCommands, EnableFailureEndsOnlyThatHandlerAndStatusStaysZero) {
    mFake.mFailing = {"first a", "mon"};
    mService->mGlobalHandlers.add(enabler("first", "first", 0, {"a", "b", "c"}));
    mService->mGlobalHandlers.add(enabler("second", "second", 0));
    mService->mMonitors.add(monitor(true, 0, {event("e", {enabler("m", "mon", 0)})}));

    EXPECT_EQ(0, mService->enableHandlers());

    EXPECT_EQ((Strings{"first a", "second", "mon"}), mFake.lines());
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Enable handler failed, first a"));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Enable handler failed, cmd: first"));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Enable handler failed, mon"));
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Enable handler failed, cmd: mon"));
}

TEST_F(HandlerCommands, GlobalDumpPassTestsLevelAndGoesOnAfterAFailure) {
    mFake.mFailing = {"fail 1"};
    mService->mGlobalHandlers.add(handler("above", "above", 6));
    mService->mGlobalHandlers.add(handler("equal", "equal", 5));
    mService->mGlobalHandlers.add(handler("fail", "fail", -3, {"1", "2"}));
    mService->mGlobalHandlers.add(handler("after", "after", 0, {"out.txt"}));
    mService->mGlobalHandlers.add(handler("nodump", "", 0));

    mService->dumpGlobalHandlers(5);

    EXPECT_EQ((Strings{"equal", "fail 1", "after out.txt"}), mFake.lines());
    EXPECT_EQ((Strings{"Global handler dump start", "Dump cmd: equal", "Dump cmd: fail 1",
                       "Dump handler failed, fail 1", "Dump cmd: after out.txt",
                       "No dump cmd for nodump", "Global handler dump finish"}),
              mLog.messages());
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Dump handler failed, fail 1"));
}

TEST_F(HandlerCommands, EventDumpStopsAtTheFirstLineThatCannotRun) {
    Handler failing = handler("bad", "bad", 0, {"x", "y"});
    Event e = event("hang", {handler("ok", "ok", 0), failing, handler("later", "later", 0)});
    mFake.mFailing = {"bad x"};

    EXPECT_EQ(-1, e.dumpHandlers(0));

    EXPECT_EQ((Strings{"ok", "bad x"}), mFake.lines());
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, "Dump handler failed, bad x"));
    std::string detail = "Dump handler failed for event hang, handler " +
                         std::string(failing.statusText(0).string());
    EXPECT_TRUE(mLog.contains(ANDROID_LOG_ERROR, detail));
    EXPECT_EQ(0, e.dumpHandlers(-1)) << "nothing runs below every handler's level";
}

TEST_F(HandlerCommands, RealShellSplitsParametersAndExitStatusIsNoFailure) {
    mFake.mRunForReal = true;
    ASSERT_EQ(0, chdir(mDir.path().c_str()));
    Event e = event("e", {handler("touch", "touch", 0, {"one two", "three"}),
                          handler("false", "exit 1", 0), handler("last", "touch last", 0)});

    EXPECT_EQ(0, e.dumpHandlers(0));

    EXPECT_EQ((Strings{"last", "lyrdebug.conf", "one", "three", "two"}), listDir(mDir.path()));
    EXPECT_EQ((Strings{"Dump cmd: touch one two", "Dump cmd: touch three", "Dump cmd: exit 1",
                       "Dump cmd: touch last"}),
              mLog.messages());
}

}  // namespace
}  // namespace xel
}  // namespace ornak
