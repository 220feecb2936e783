#include <utils/String16.h>
#include <utils/String8.h>

#include <gtest/gtest.h>

using android::String16;
using android::String8;

namespace {

std::u16string units(const String16& text) {
    return std::u16string(text.string(), text.size());
}

TEST(String8, FormatAndAppendFormatBuildText) {
    String8 text = String8::format("%s=%d", "level", -3);
    text.appendFormat(", %s", "x");
    text.append("!");
    EXPECT_STREQ("level=-3, x!", text.string());
    EXPECT_EQ(12u, text.length());
}

TEST(String8, LongFormatIsNotCut) {
    std::string big(5000, 'a');
    String8 text = String8::format("<%s>", big.c_str());
    EXPECT_EQ(5002u, text.length());
}

TEST(String8, CopiesAreIndependent) {
    String8 original("abc");
    String8 copy = original;
    copy.append("d");
    original.setTo("z");
    EXPECT_STREQ("abcd", copy.string());
    EXPECT_STREQ("z", original.string());
}

TEST(String8, EmptyAndNullFormatAsNothing) {
    String8 empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_STREQ("", String8::format("%s", empty.string()).string());
    EXPECT_STREQ("", String8(static_cast<const char*>(nullptr)).string());
}

TEST(Utf, AsciiAndMultibyteRoundTrip) {
    const char* text = "dump \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
    String16 wide(text);
    EXPECT_EQ(u"dump \u00e9t\u00e9 \u20ac \U0001F600", units(wide));
    EXPECT_STREQ(text, String8(wide).string());
}

TEST(Utf, InvalidUtf8BecomesReplacementCharacters) {
    struct Case {
        std::string input;
        std::u16string expected;
    };
    const Case cases[] = {
            {"a\xFF"
             "b",
             u"a\uFFFDb"},                                      // byte that never starts a sequence
            {"\xC3", u"\uFFFD"},                                // sequence cut at the end
            {"\xC3(", u"\uFFFD("},                              // bad continuation byte
            {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong form of '/'
            {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
            {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, units(String16(c.input.data(), c.input.size()))) << c.input;
    }
}

TEST(Utf, InvalidUtf16BecomesReplacementCharacters) {
    const char16_t loneHigh[] = {u'a', 0xD800, u'b'};
    const char16_t loneLow[] = {0xDC00};
    const char16_t highAtEnd[] = {u'x', 0xDBFF};
    EXPECT_STREQ(
            "a\xEF\xBF\xBD"
            "b",
            String8(String16(loneHigh, 3)).string());
    EXPECT_STREQ("\xEF\xBF\xBD", String8(String16(loneLow, 1)).string());
    EXPECT_STREQ("x\xEF\xBF\xBD", String8(String16(highAtEnd, 2)).string());
}

TEST(Utf, EmbeddedNulEndsTheCString) {
    const char16_t withNul[] = {u'a', u'b', 0, u'c'};
    String8 narrow{String16(withNul, 4)};
    EXPECT_STREQ("ab", narrow.string());
}

TEST(Utf, EveryByteStringConverts) {
    // Every 2-byte string must convert without a crash and to valid UTF-8.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; b += 7) {
            char bytes[2] = {static_cast<char>(a), static_cast<char>(b)};
            String16 wide(bytes, 2);
            String8 back(wide);
            EXPECT_EQ(wide, String16(back.string(), back.length()));
        }
    }
}

TEST(String16, ComparesUnitByUnit) {
    EXPECT_EQ(0, android::strzcmp16(u"ab", 2, u"ab", 2));
    EXPECT_NE(0, android::strzcmp16(u"ab", 2, u"abc", 3));
    EXPECT_NE(0, android::strzcmp16(u"ab", 2, u"ac", 2));
}

}  // namespace
