#include <utils/String16.h>
#include <utils/String8.h>

#include <gtest/gtest.h>

using android::String16;
using android::String8;

namespace {

TEST(String8, FormatsAppendsAndCopiesIndependently) {
    String8 text = String8::format("%s=%d", "level", -3);
    text.appendFormat(", %s", std::string(5000, 'a').c_str());
    String8 copy = text;
    text.setTo("z", 5);
    EXPECT_EQ(5010u, copy.length());  // appended, and a long format is not cut
    EXPECT_EQ("z", std::string(text.string(), text.length()));  // up to the first NUL
    EXPECT_STREQ("", String8(static_cast<const char*>(nullptr)).string());
}

TEST(Utf, ConvertsBothWaysAndReplacesEveryInvalidSequence) {
    const char* text = "dump \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(std::u16string(u"dump \u00e9t\u00e9 \u20ac \U0001F600"), String16(text).string());
    EXPECT_STREQ(text, String8(String16(text)).string());
    const std::pair<std::string, std::u16string> utf8Cases[] = {
            {"a\xFF-", u"a\uFFFD-"},                            // never starts a sequence
            {"\xC3", u"\uFFFD"},                                // cut at the end
            {"\xC3(", u"\uFFFD("},                              // bad continuation byte
            {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/'
            {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
            {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
    };
    EXPECT_EQ(std::u16string(u"\uFFFD"), String16("\xC3\xA9", 1).string()) << "cut by the length";
    for (const auto& [in, out] : utf8Cases) EXPECT_EQ(out, String16(in.data(), in.size()).string());
    const std::pair<std::u16string, std::string> utf16Cases[] = {
            {{u'a', 0xD800, u'-'}, "a\xEF\xBF\xBD-"},  // lone high surrogate
            {{0xDC00}, "\xEF\xBF\xBD"},                // lone low surrogate
            {{u'x', 0xDBFF}, "x\xEF\xBF\xBD"},         // high surrogate at the end
    };
    for (const auto& [in, out] : utf16Cases)
        EXPECT_STREQ(out.c_str(), String8(String16(in.data(), in.size())).string());
}

TEST(Utf, EveryTwoByteStringRoundTripsThroughValidUtf8) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; b += 7) {
            char bytes[2] = {static_cast<char>(a), static_cast<char>(b)};
            String16 wide(bytes, 2);
            EXPECT_EQ(wide, String16(String8(wide))) << a << " " << b;
        }
    }
}

}  // namespace
