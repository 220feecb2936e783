// Which lines are used, how they split into words, and the value rule.
#include <string.h>

#include "config/ConfigLineSplit.h"
#include "tests/config/ConfigTestSupport.h"

namespace ornak {
namespace xel {
namespace {

using namespace std::string_literals;

TEST(ConfigLineSplit, WordsKeepBlanksAndSitWhereTheyAreInTheLine) {
    struct Case {
        std::string line;
        std::vector<std::string> words;
    };
    const Case cases[] = {
            {"..handler..h.dump=cat a.txt\n", {"handler", "h", "dump=cat a", "txt\n"}},
            {"event . e.on = 1\n", {"event ", " e", "on = 1\n"}},
            {"...", {}},
            {"global", {"global"}},
            {std::string(1500, 'x') + ".y", {std::string(1023, 'x')}},
    };
    for (const Case& c : cases) {
        ConfigLineSplit split(c.line.c_str());
        std::vector<std::string> words;
        while (const char* word = split.nextWord()) {
            words.push_back(word);
            EXPECT_EQ(0, strncmp(c.line.c_str() + split.lastWordOffset(), word, strlen(word)));
        }
        EXPECT_EQ(c.words, words) << c.line;
    }
}

TEST_F(ConfigTest, SkipsLinesOutsideTheWindowCommentsAndLinesWithoutDots) {
    std::string padded = "global.min_free_space=9";
    padded += std::string(1022 - padded.size(), ' ') + "\n";  // 1023 bytes: used
    std::string tooLong = "global.max_dump_count=7";
    tooLong += std::string(1023 - tooLong.size(), ' ') + "\n";  // 1024 bytes: skipped
    std::string text = "\n//global.logcat_grep=0\nglobal kmsg_grep=0\n" + padded + tooLong;
    text += "\0global.logcat_grep=0\n"s;

    EXPECT_EQ(0, parse(text));
    EXPECT_TRUE(log.records().empty());
    EXPECT_EQ(9u, service->mMinFreeSpace);
    EXPECT_EQ(10, service->mMaxDumpCount);
    EXPECT_TRUE(service->mLogcatGrep);
    EXPECT_TRUE(service->mKmsgGrep);
}

TEST_F(ConfigTest, NulCrAndMissingFinalNewlineAreHandled) {
    std::string text = "global.max_dump_count=5\0.ignored=1\n"s;
    text += "handler.h.dump=ls\r\nglobal.kmsg_grep=0";
    EXPECT_EQ(0, parse(text));
    EXPECT_EQ(5, service->mMaxDumpCount);
    EXPECT_STREQ("ls\r", service->mHandlers[0].mDumpCmd.string());
    EXPECT_FALSE(service->mKmsgGrep);
}

TEST_F(ConfigTest, SectionsAndKeysMatchByTheirBeginningInTableOrder) {
    EXPECT_EQ(0, parse(R"(handlers.h.online=1
eventgroup.e.policyX=once
ghandler .g.level=3
handler. h.dump=x
globals.max_dump_count=1
global .max_dump_count=2
)"));
    ASSERT_EQ(2u, service->mHandlers.size());
    EXPECT_TRUE(service->mHandlers[0].mEnabled);
    EXPECT_STREQ(" h", service->mHandlers[1].mName.string());
    EXPECT_EQ(0, service->mEvents[0].mPolicy);
    EXPECT_EQ(3, service->mGlobalHandlers[0].mLevel);
    EXPECT_EQ(10, service->mMaxDumpCount);
    EXPECT_EQ((std::vector<std::string>{"Config file parsing error: globals.max_dump_count=1\n",
                                        "Config file parsing error: global .max_dump_count=2\n"}),
              log.messages());
}

TEST_F(ConfigTest, ValueRule) {
    struct Case {
        std::string line;
        bool valid;
        std::string value;
    };
    const Case cases[] = {
            {"k=v\n", true, "v"},
            {"k =  20  \n", true, "20"},
            {"k=a=b.c\n", true, "a=b.c"},
            {"k=\tv\n", true, "\tv"},
            {"k=v\r\n", true, "v\r"},
            {"k=x", true, "x"},
            {"k=\"  a b  \"\n", true, "  a b"},
            {"k=\"   \"\n", true, ""},
            {"k=\"q\"", true, "q"},
            {"k=" + std::string(1023, 'v') + "\n", true, std::string(1023, 'v')},
            {"k=" + std::string(1024, 'v') + "\n", false, ""},
            {"k=\"\"\n", false, ""},
            {"k=\"\n", false, ""},
            {"k=\"abc\n", false, ""},
            {"k=\"abc\"  \n", false, ""},
            {"k=\"abc\"\r\n", false, ""},
            {"k=   \n", false, ""},
            {"k=", false, ""},
            {"kv\n", false, ""},
    };
    for (const Case& c : cases) {
        log.clear();
        String8 value("stale");
        EXPECT_EQ(c.valid ? 0 : -1, service->getConfigValue(c.line.c_str(), value)) << c.line;
        EXPECT_EQ(c.value, value.string()) << c.line;
        std::vector<lyrd_test::LogRecord> expected;
        if (!c.valid)
            expected.push_back({6, "LyrDebugService", "Invalid line in config file: " + c.line});
        EXPECT_EQ(expected, log.records()) << c.line;
    }
}

TEST_F(ConfigTest, FirstEqualsFromTheKeyWordEndsTheKeyPart) {
    EXPECT_EQ(0, parse(R"(event.a=b.policy=once
handler.h.dump=grep -e x=1 /a.log
)"));
    EXPECT_STREQ("a=b", service->mEvents[0].mName.string());
    EXPECT_EQ(0, service->mEvents[0].mPolicy);
    EXPECT_STREQ("grep -e x=1 /a.log", service->mHandlers[0].mDumpCmd.string());
}

}  // namespace
}  // namespace xel
}  // namespace ornak
