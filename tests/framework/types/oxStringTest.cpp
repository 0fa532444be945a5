// oxString_c and oxText_c: contents by how they arrived, append, equality, width conversions,
// the 16-bit length limit, and every allocation failure with the state it leaves.
#include "framework/types/oxString.h"
#include "framework/types/oxText.h"
#include "framework/types/oxTypeSource.h"
#include "platform/oxpCodePage.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <cstring>
#include <functional>
#include <vector>

namespace {
using namespace std::string_literals;

std::string bytes(const oxString_c& s) {
    return std::string(s.text(), s.length());
}
std::string contents(const oxText_c& t) {
    return t.text() ? std::string(t.text()) : "(null)";
}
const char16_t abcdUnits[] = {0x4241, 0x4443, 0}; // the bytes "ABCD" in memory
const char16_t* const noWide = nullptr;

TEST(oxString, LengthWidthAndBytesFollowHowContentsArrived) {
    oxString_c counted(3, "abc"), own("ab");
    const std::vector<std::tuple<oxString_c, bool, std::string>> rows = {
        {oxString_c(), false, ""},
        {oxString_c(""), false, ""},
        {oxString_c(u""), true, "\0\0"s},
        {oxString_c(noWide), true, ""},
        {oxString_c("abc"), false, "abc\0"s},
        {oxString_c(u"abc"), true, "a\0b\0c\0\0\0"s},
        {oxString_c(3, "abcd"), false, "abc"},
        {oxString_c(3, abcdUnits), true, "ABC\0"s}, // rounded up to even
        {oxString_c(2, abcdUnits), true, "AB"},
        {oxString_c(0, abcdUnits), true, ""},
        {oxString_c(3, static_cast<const char*>(nullptr)), false, ""},
        {oxString_c(counted), false, "abc"}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& [s, wide, contents] = rows[i];
        EXPECT_EQ(std::pair(bytes(s), s.isWide()), std::pair(contents, wide)) << "row " << i;
        EXPECT_STREQ(s.length() ? "" : s.text(), s.length() ? "" : "<oxString_c Null Pointer>");
    }
    EXPECT_EQ(std::string(counted.text(), 4), "abc\0"s); // counted bytes stay terminated
    EXPECT_EQ(std::string(oxString_c(3, abcdUnits).text(), 6), "ABC\0\0\0"s);
    own.assign(own.text() + 1); // from its own buffer
    EXPECT_EQ(bytes(own), "b\0"s);
}

// Append joins over the terminator of the same width; another width adds nothing.
TEST(oxString, AppendEqualityAndCopyTo) {
    oxString_c comma(","), wide(u"ab"), counted(3, "abc"), empty(noWide), narrowEmpty, twice("ab");
    comma.append(oxString_c(" "));
    comma.append(oxString_c(u"x"));
    comma.append(oxString_c());
    wide.append(oxString_c(u"cd"));
    counted.append(oxString_c("de")); // a counted receiver loses its last character
    empty.append(oxString_c(u"z"));
    narrowEmpty.append(oxString_c(u"z")); // widths differ even when empty
    twice.append(twice);
    EXPECT_EQ(bytes(comma) + "|" + bytes(wide) + "|" + bytes(counted) + "|" + bytes(empty) + "|" +
                  bytes(narrowEmpty) + "|" + bytes(twice),
              ", \0|a\0b\0c\0d\0\0\0|abde\0|z\0\0\0||abab\0"s);
    // Equal contents, with one terminator byte tolerated either way.
    const std::tuple<oxString_c, oxString_c, bool> pairs[] = {
        {oxString_c("abc"), oxString_c(3, "abc"), true},
        {oxString_c(2, "ab"), oxString_c(2, "ac"), true},
        {oxString_c("abc"), oxString_c("abd"), false},
        {oxString_c("abc"), oxString_c(3, "xbc"), false},
        {oxString_c("abc"), oxString_c("abcde"), false},
        {oxString_c(), oxString_c(1, "x"), true},
        {oxString_c(), oxString_c(), true},
        {oxString_c(), oxString_c(2, "xy"), false},
        {oxString_c(u"ab"), oxString_c(6, "a\0b\0\0\0"), true}};
    for (const auto& [a, b, equal] : pairs)
        EXPECT_TRUE((a == b) == equal && (b != a) == !equal) << bytes(a) << " vs " << bytes(b);
    char out[8] = "xxxxxxx";
    EXPECT_EQ(oxString_c().copyTo(nullptr) + oxString_c().copyTo(out), 1u);
    EXPECT_EQ(oxString_c(u"a").copyTo(out + 1), 4u);
    EXPECT_EQ(std::string(out, 6), "\0a\0\0\0x"s);
}

TEST(oxString, ConversionsBetweenWidths) {
    oxString_c s("abc"), wideEmpty(noWide), narrowEmpty, euro("\x80"), counted(4, abcdUnits);
    EXPECT_TRUE(s.makeNarrow() && s.makeWide() && s.isWide());
    EXPECT_EQ(bytes(s), "a\0b\0c\0\0\0"s);
    EXPECT_TRUE(s.makeWide() && s.makeNarrow() && !s.isWide());
    s.toggleWide();
    s.toggleWide();
    EXPECT_EQ(bytes(s) + (s.isWide() ? "wide" : ""), "abc\0"s);
    EXPECT_FALSE(wideEmpty.makeNarrow() || !wideEmpty.isWide() || narrowEmpty.makeWide() ||
                 narrowEmpty.isWide());
    EXPECT_TRUE(euro.makeWide() && bytes(euro) == "\xAC\x20\0\0"s && euro.makeNarrow());
    EXPECT_EQ(bytes(euro), "\x80\0"s);
    // No terminator inside the length: only the counted units, then a terminator; U+4241 and
    // U+4443 are not in the code page.
    EXPECT_TRUE(counted.makeNarrow());
    EXPECT_EQ(bytes(counted), "??\0"s);
    ASSERT_TRUE(oxp::setActiveCodePage(65001));
    oxString_c accented("\xC3\xA9");
    const bool converted = accented.makeWide();
    oxp::setActiveCodePage(1252);
    EXPECT_TRUE(converted && bytes(accented) == "\xE9\0\0\0"s);
}

TEST(oxText, ComposesComparesCopiesAndRemovesTheEarliestExactMatch) {
    oxText_c name("C:\\x"), empty;
    name.append("\\");
    name.append(oxText_c("osComp.dll"));
    name.removeFirst(".dll");
    name.append(".evt");
    name.append("");
    name.append(static_cast<const char*>(nullptr));
    name.append(oxText_c());
    EXPECT_TRUE(name == "C:\\x\\osComp.evt" && name.length() == 15);
    for (auto [text, piece, after] : {std::tuple{".dll", ".dll", ""},
                                      {"a.dll.dll", ".dll", "a.dll"},
                                      {"C:\\a.dll\\b.dll", ".dll", "C:\\a\\b.dll"},
                                      {"abc", "c", "ab"},
                                      {"abab", "b", "aab"},
                                      {"x.DLL", ".dll", "x.DLL"},
                                      {"ab", "abc", "ab"},
                                      {"abc", "", "abc"}}) {
        oxText_c byText(text), byObject(text);
        byText.removeFirst(piece);
        byObject.removeFirst(oxText_c(piece));
        EXPECT_EQ(contents(byText) + "|" + std::to_string(byText.length()),
                  after + "|"s + std::to_string(std::strlen(after)))
            << text;
        EXPECT_TRUE(byObject == byText) << text << " - " << piece;
    }
    empty.removeFirst(".dll");
    EXPECT_TRUE(empty == "" && empty == nullptr && empty.text() == nullptr);
    oxText_c abc("abc");
    abc.append(abc);
    abc.assign("abc");
    EXPECT_TRUE(abc == "abc" && abc == oxText_c(abc));
    EXPECT_FALSE(abc == "abd" || abc == "ab" || abc == oxText_c("abd") || abc == oxText_c());
    char out[5] = "xxxx";
    EXPECT_EQ(abc.copyTo(nullptr) + abc.copyTo(out), 3u);
    EXPECT_STREQ(out, "abcx"); // no terminator copied
    EXPECT_EQ(oxText_c().copyTo(out), 1u);
    EXPECT_EQ(std::string(out, 2), "\0b"s);
    abc.assign("");
    EXPECT_TRUE(abc.text() == nullptr && abc.length() == 0);
}

using oxStringRaise = oxRaiseFixture;

TEST_F(oxStringRaise, SixteenBitTextIsLimitedTo257Units) {
    std::u16string text(257, u'w');
    oxString_c s(text.c_str());
    EXPECT_EQ(s.length(), 516u);
    text += u'w';
    oxLiveAllocations live;
    EXPECT_THROW(s.assign(text.c_str()), oxFatal_c);
    expectOneBox(oxTypeSource, 367, "Invalid string length");
    EXPECT_TRUE(s.length() == 0 && s.isWide());
    EXPECT_EQ(live.leaked(), -1);                                        // the old buffer is gone
    EXPECT_EQ(oxString_c(std::string(600, 'n').c_str()).length(), 601u); // 8-bit text: no limit
}

// Every allocation failure: the exception, one box from its line, the state afterwards, no leak.
TEST_F(oxStringRaise, AllocationFailuresRaiseFromTheirLines) {
    struct Site {
        const char* source;
        std::uint32_t line, failing; // failing: the argument's own allocation comes first
        std::function<void(oxString_c&, oxText_c&)> run;
        const char *before, *after; // the string's or the text's contents ("w" marks wide)
    };
    const oxText_c piece("new");
    const Site sites[] = {
        {oxTypeSource, 293, 1, [](auto&, auto&) { oxString_c s(3, "abc"); }, "", ""},
        {oxTypeSource, 316, 1, [](auto&, auto&) { oxString_c s(3, abcdUnits); }, "", ""},
        {oxTypeSource, 346, 1, [](auto& s, auto&) { s.assign("new"); }, "wold", ""},
        {oxTypeSource, 374, 1, [](auto& s, auto&) { s.assign(u"new"); }, "old", "w"},
        {oxTypeSource, 396, 2, [](auto& s, auto&) { s.assign(oxString_c(4, "copy")); }, "wold", ""},
        {oxTypeSource, 396, 2, [](auto& s, auto&) { s.append(oxString_c(u"new")); }, "w", "w"},
        {oxTypeSource, 418, 2, [](auto& s, auto&) { s.append(oxString_c("cd")); }, "ab", "ab"},
        {oxTypeSource, 500, 1, [](auto& s, auto&) { s.makeNarrow(); }, "wab", "wab"},
        {oxTypeSource, 541, 1, [](auto& s, auto&) { s.makeWide(); }, "ab", "ab"},
        {"..\\..\\cppType", 74, 1, [](auto&, auto& t) { t.assign("new"); }, "old", "(null)"},
        {"..\\..\\cppType", 95, 1, [&](auto&, auto& t) { t.assign(piece); }, "old", "(null)"},
        {"..\\..\\cppType", 146, 1, [](auto&, auto& t) { t.append("new"); }, "old", "old"},
        {"..\\..\\cppType", 166, 1, [&](auto&, auto& t) { t.append(piece); }, "old", "old"},
    };
    // A string from "w"-marked contents, and a string's or text's contents in that form.
    const auto make = [](const std::string& c) {
        if (c.empty() || c[0] != 'w')
            return oxString_c(c.empty() ? nullptr : c.c_str());
        const std::u16string wide(c.begin() + 1, c.end());
        return oxString_c(c.size() == 1 ? noWide : wide.c_str());
    };
    const auto state = [](const oxString_c& s) {
        std::string narrow;
        for (std::uint32_t i = 0; i < s.length(); i += s.isWide() ? 2 : 1)
            narrow += s.text()[i];
        return (s.isWide() ? "w" : "") + narrow.substr(0, narrow.find('\0'));
    };
    for (const Site& site : sites) {
        SCOPED_TRACE(site.line);
        oxLiveAllocations live;
        {
            const bool text = std::string(site.source) != oxTypeSource;
            oxString_c s = make(text ? "" : site.before);
            oxText_c t(text ? site.before : "");
            {
                oxFailAllocation fail(site.failing);
                EXPECT_THROW(site.run(s, t), oxInsufficientMemory_c);
            }
            expectOneBox(site.source, site.line);
            EXPECT_EQ(text ? contents(t) : state(s), site.after);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

} // namespace
