// Code page conversions with the Windows calls' conventions: the 1252 and Latin-1 tables, the
// default character, UTF-8, lengths and buffers, and the active code page.
#include "platform/oxpCodePage.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// Both calls measure first, then convert into a buffer of exactly the measured size.
std::u16string toWide(std::uint32_t cp, const std::string& bytes) {
    const int size = static_cast<int>(bytes.size());
    std::u16string wide(
        static_cast<std::size_t>(oxp::multiByteToWideChar(cp, 0, bytes.data(), size, nullptr, 0)),
        u'#');
    if (!wide.empty())
        wide.resize(static_cast<std::size_t>(oxp::multiByteToWideChar(
            cp, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()))));
    return wide;
}
std::string toBytes(std::uint32_t cp, const std::u16string& wide, bool* usedDefault = nullptr,
                    const char* defaultChar = nullptr) {
    const int size = static_cast<int>(wide.size());
    std::string bytes(static_cast<std::size_t>(oxp::wideCharToMultiByte(
                          cp, 0, wide.data(), size, nullptr, 0, defaultChar, usedDefault)),
                      '#');
    if (!bytes.empty())
        bytes.resize(static_cast<std::size_t>(
            oxp::wideCharToMultiByte(cp, 0, wide.data(), size, bytes.data(),
                                     static_cast<int>(bytes.size()), defaultChar, usedDefault)));
    return bytes;
}

TEST(CodePage, SingleByteTablesMapEveryByteBothWays) {
    const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string all;
    std::u16string expected;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
        expected.push_back(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : static_cast<char16_t>(b));
    }
    EXPECT_EQ(toWide(1252, all), expected);
    bool usedDefault = true;
    EXPECT_EQ(toBytes(1252, expected, &usedDefault), all);
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(toWide(28591, "\x80\xFF"), u"\u0080\u00FF");
    const char star = '*';
    const struct {
        std::uint32_t cp;
        std::u16string wide;
        const char *defaultChar, *bytes;
    } unmappable[] = {{1252, u"a\u0100b", nullptr, "a?b"},
                      {1252, u"\u4E2D", &star, "*"},
                      {1252, u"\U0001F600", nullptr, "?"},
                      {28591, u"\u20AC\u0080", nullptr, "?\x80"}};
    for (const auto& c : unmappable) {
        usedDefault = false;
        EXPECT_EQ(toBytes(c.cp, c.wide, &usedDefault, c.defaultChar), c.bytes);
        EXPECT_TRUE(usedDefault) << c.bytes;
    }
}

TEST(CodePage, Utf8CoversEveryPlaneAndRejectsBadSequences) {
    EXPECT_EQ(toWide(oxp::cpUtf8, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(toBytes(oxp::cpUtf8, u"a\u00E9\u20AC\U0001F600"),
              "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(toBytes(oxp::cpUtf8, std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    for (const char* bad :
         {"\x80", "\xC0\xAF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\xC3"})
        EXPECT_EQ(oxp::multiByteToWideChar(oxp::cpUtf8, 0, bad, -1, nullptr, 0), 0) << bad;
}

TEST(CodePage, LengthsSizesAndBuffersFollowTheWindowsConventions) {
    char16_t wide[8] = {};
    EXPECT_EQ(oxp::multiByteToWideChar(1252, 0, "abc", -1, nullptr, 0), 4); // terminator counted
    EXPECT_EQ(oxp::multiByteToWideChar(1252, 0, "abc", -1, wide, 4), 4);
    EXPECT_EQ(std::u16string(wide), u"abc");
    EXPECT_EQ(oxp::multiByteToWideChar(1252, 0, "abcdef", -1, wide, 3), 0); // too small
    EXPECT_EQ(oxp::multiByteToWideChar(1252, 0, "abc", 0, wide, 4), 0);
    EXPECT_EQ(oxp::multiByteToWideChar(1252, 0, nullptr, -1, wide, 4), 0);
    EXPECT_EQ(oxp::multiByteToWideChar(437, 0, "abc", -1, wide, 4), 0); // unknown code page
    char bytes[8] = {};
    EXPECT_EQ(oxp::wideCharToMultiByte(1252, 0, u"\u20ACx", -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(oxp::wideCharToMultiByte(1252, 0, u"\u20ACx", -1, bytes, 3, nullptr, nullptr), 3);
    EXPECT_STREQ(bytes, "\x80x");
    EXPECT_EQ(oxp::wideCharToMultiByte(oxp::cpUtf8, 0, u"\u20AC", -1, bytes, 3, nullptr, nullptr),
              0);
    EXPECT_EQ(oxp::wideCharToMultiByte(1252, 0, u"x", -1, bytes, -1, nullptr, nullptr), 0);
    EXPECT_EQ(oxp::wideCharToMultiByte(1252, 0, nullptr, -1, bytes, 8, nullptr, nullptr), 0);
}

TEST(CodePage, TheActiveCodePageIsTheHostsChoice) {
    EXPECT_EQ(oxp::activeCodePage(), 1252u);
    EXPECT_EQ(toWide(oxp::cpAcp, "\x80"), u"\u20AC");
    ASSERT_TRUE(oxp::setActiveCodePage(oxp::cpUtf8));
    EXPECT_EQ(toWide(oxp::cpAcp, "\xE2\x82\xAC"), u"\u20AC");
    EXPECT_FALSE(oxp::setActiveCodePage(437));
    EXPECT_EQ(oxp::activeCodePage(), oxp::cpUtf8);
    ASSERT_TRUE(oxp::setActiveCodePage(1252));
    EXPECT_EQ(toBytes(oxp::cpAcp, u"\u20AC"), "\x80");
}

} // namespace
