// Parsing and reporting as start-up runs them: the two files, the records
// start-up logs, and the shell line that creates the dump folder.
#include <android/log.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/config/ConfigTestSupport.h"

namespace ornak {
namespace xel {
namespace {

using lyrd_test::LogRecord;

// What start-up logs after the status report for a configuration with an
// enabled monitor and no enabled handler.
const std::vector<std::string> kRecordsAfterReport = {
        "Start enable handlers",  "Enable global handlers",    "Enable monitor",
        "Finish enable handlers", "LYR debug service started",
};

// The records of the start-up itself: the collection thread starts during
// start-up and logs its first pass at the same time.
std::vector<LogRecord> startUpRecords(const std::vector<LogRecord>& records) {
    std::vector<LogRecord> own;
    for (const LogRecord& record : records) {
        bool collection = record.message.rfind("LogGCThread: ", 0) == 0 ||
                          record.message.rfind("fail to open log dump dir", 0) == 0;
        if (!collection) own.push_back(record);
    }
    return own;
}

const char kRule[] = "--------------------------------------------";

std::vector<LogRecord> debugRecords(const std::vector<std::string>& messages) {
    std::vector<LogRecord> records;
    for (const std::string& message : messages) {
        records.push_back({ANDROID_LOG_DEBUG, "LyrDebugService", message});
    }
    return records;
}

TEST_F(ConfigTest, StartUpLogsParsingAndTheReportLineByLine) {
    std::string config = dir.write("main.conf", R"(global.logcat_grep=0
global.kmsg_grep=0
handler.h.dump=dmesg
event.hang.uevent=hang
event.hang.handler.h.on=1
monitor.m.enable=1
monitor.m.event=hang
)");
    service = new LyrDebugService(config.c_str(), shell);

    std::vector<std::string> expected = {
            "Start parsing config",
            "Parsing config succeed, start dump config...",
            kRule,
            "Config File Path: " + config,
            "Log Dump Path: ",
            "Additional Config Path: ",
            "Enable Logcat Grep: 0",
            "Enable Kmsg Grep: 0",
            "MaxEventsDumped: 10",
            "MaxLogSize: 1024MB",
            "MinFreeSpace: 512MB",
            "Monitor: m, Enabled: 1, Level: 0",
            "    Event: hang, Policy: 1, Dump 0 times",
            "    Uevent hints: hang, ",
            "    Key words: ",
            "    Handlers: ",
            "        Name: h",
            "        Level: 100",
            "        Dump cmd: dmesg",
            "        Enabled: 1",
            kRule,
    };
    expected.insert(expected.end(), kRecordsAfterReport.begin(), kRecordsAfterReport.end());
    EXPECT_EQ(debugRecords(expected), startUpRecords(log.records("LyrDebugService")));
}

TEST_F(ConfigTest, StartUpMergesTheAdditionalFileOnceAndReadsNoThird) {
    std::string third = dir.write("third.conf", "global.max_dump_count=77\n");
    std::string extra = dir.write("extra.conf",
                                  "handler.h.dump=extra\nhandler.h.dpara=x\n"
                                  "global.additional_conf_path=" +
                                          third + "\n");
    std::string main = dir.write("main.conf",
                                 "handler.h.dump=main\nhandler.h.dpara=w\n"
                                 "global.additional_conf_path=" +
                                         extra + "\nglobal.max_dump_count=4\n");
    service = new LyrDebugService(main.c_str(), shell);

    ASSERT_EQ(1u, service->mHandlers.size());
    const LyrDebugService::Handler& h = service->mHandlers[0];
    EXPECT_STREQ("extra", h.mDumpCmd.string());
    ASSERT_EQ(2u, h.mDumpParas.size());
    EXPECT_STREQ("w", h.mDumpParas[0].string());
    EXPECT_STREQ("x", h.mDumpParas[1].string());
    EXPECT_EQ(4, service->mMaxDumpCount);
    EXPECT_STREQ(third.c_str(), service->mAdditionalConfPath.string());
    EXPECT_TRUE(service->mUseAdditionalConf);
    EXPECT_TRUE(log.contains(ANDROID_LOG_DEBUG, "Parsing config succeed, start dump config..."));
}

TEST_F(ConfigTest, StartUpEndsWhenEitherFileFails) {
    std::string missing = dir.file("missing.conf");
    service = new LyrDebugService(missing.c_str(), shell);
    EXPECT_EQ(
            (std::vector<LogRecord>{
                    {ANDROID_LOG_DEBUG, "LyrDebugService", "Start parsing config"},
                    {ANDROID_LOG_ERROR, "LyrDebugService", "Failed to open config file " + missing},
                    {ANDROID_LOG_ERROR, "LyrDebugService", "Failed to parse config file"},
            }),
            log.records());

    log.clear();
    std::string extra = dir.write("extra.conf", "monitor.m.event=nope\n");
    std::string main =
            dir.write("main.conf", "handler.h.on=1\nglobal.additional_conf_path=" + extra + "\n");
    service = new LyrDebugService(main.c_str(), shell);
    std::vector<LogRecord> records = log.records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ((LogRecord{ANDROID_LOG_ERROR, "LyrDebugService", "Failed to parse config file"}),
              records.back());
    EXPECT_EQ(1u, service->mHandlers.size());
    EXPECT_EQ(1u, service->mMonitors.size());
    EXPECT_EQ(1, service->mStopped);
}

TEST_F(ConfigTest, LogDumpPathReachesTheShellAsOneLiteralWord) {
    service = new LyrDebugService(emptyConfig.c_str(), SystemCalls::real());
    std::string witness = dir.file("witness");
    const std::string names[] = {"a b;touch " + witness, "it's $(touch " + witness + ")",
                                 "`touch " + witness + "` \"q\""};
    for (const std::string& name : names) {
        std::string path = dir.file("dumps/" + name);
        ASSERT_EQ(0, parse("global.log_dump_path=" + path + "\n")) << name;
        struct stat info;
        EXPECT_EQ(0, stat(path.c_str(), &info)) << name;
        EXPECT_TRUE(S_ISDIR(info.st_mode)) << name;
    }
    EXPECT_NE(0, access(witness.c_str(), F_OK)) << "the path ran as a command";
}

}  // namespace
}  // namespace xel
}  // namespace ornak
