#include "framework/types/oxString.h"
#include "framework/types/oxTypeSource.h"
#include "oxRaiseFixture.h"
#include "platform/oxpCodePage.h"
#include <functional>
#include <vector>

namespace {
using namespace std::string_literals;
using oxMake = std::function<oxString_c()>;

std::string bytes(const oxString_c& s) {
    return std::string(s.text(), s.length());
}
const char16_t abcdUnits[] = {0x4241, 0x4443, 0}; // the bytes "ABCD" in memory
const char16_t* const noWide = nullptr;

TEST(oxString, LengthWidthAndBytesFollowHowContentsArrived) {
    struct Row {
        oxMake make;
        bool wide;
        std::string contents;
    };
    const std::vector<Row> rows = {
        {[] { return oxString_c(); }, false, ""},
        {[] { return oxString_c(""); }, false, ""},
        {[] { return oxString_c(u""); }, true, "\0\0"s},
        {[] { return oxString_c(noWide); }, true, ""},
        {[] { return oxString_c("abc"); }, false, "abc\0"s},
        {[] { return oxString_c(u"abc"); }, true, "a\0b\0c\0\0\0"s},
        {[] { return oxString_c(3, "abcd"); }, false, "abc"},
        {[] { return oxString_c(3, abcdUnits); }, true, "ABC\0"s}, // rounded up to even
        {[] { return oxString_c(2, abcdUnits); }, true, "AB"},
        {[] { return oxString_c(0, abcdUnits); }, true, ""},
        {[] { return oxString_c(3, static_cast<const char*>(nullptr)); }, false, ""},
        {[] {
             oxString_c c(3, "abc");
             return oxString_c(c);
         },
         false, "abc"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const oxString_c s = rows[i].make();
        EXPECT_EQ(bytes(s), rows[i].contents) << "row " << i;
        EXPECT_EQ(s.isWide(), rows[i].wide) << "row " << i;
        EXPECT_STREQ(s.length() ? "" : s.text(), s.length() ? "" : "<oxString_c Null Pointer>");
    }
    oxString_c narrow(3, "abcd"), wide(3, abcdUnits), own("ab");
    EXPECT_EQ(std::string(narrow.text(), 4), "abc\0"s); // counted bytes stay terminated
    EXPECT_EQ(std::string(wide.text(), 6), "ABC\0\0\0"s);
    own.assign(own.text() + 1); // from its own buffer
    EXPECT_EQ(bytes(own), "b\0"s);
}

TEST(oxString, AppendJoinsOverTheTerminatorOfTheSameWidth) {
    oxString_c comma(","), wide(u"ab"), counted(3, "abc"), empty(noWide), narrowEmpty, twice("ab");
    comma.append(oxString_c(" "));
    comma.append(oxString_c(u"x")); // other width: nothing
    comma.append(oxString_c());
    EXPECT_EQ(bytes(comma), ", \0"s);
    wide.append(oxString_c(u"cd"));
    EXPECT_EQ(bytes(wide), "a\0b\0c\0d\0\0\0"s);
    counted.append(oxString_c("de")); // a counted receiver loses its last character
    EXPECT_EQ(bytes(counted), "abde\0"s);
    empty.append(oxString_c(u"z"));
    EXPECT_EQ(bytes(empty), "z\0\0\0"s);
    narrowEmpty.append(oxString_c(u"z")); // widths differ even when empty
    EXPECT_EQ(narrowEmpty.length(), 0u);
    twice.append(twice);
    EXPECT_EQ(bytes(twice), "abab\0"s);
}

TEST(oxString, EqualityToleratesOneTerminatorAndCopyToWritesTheBytes) {
    struct Pair {
        oxString_c a, b;
        bool equal;
    };
    const std::vector<Pair> pairs = {
        {oxString_c("abc"), oxString_c(3, "abc"), true},
        {oxString_c(2, "ab"), oxString_c(2, "ac"), true},
        {oxString_c("abc"), oxString_c("abd"), false},
        {oxString_c("abc"), oxString_c(3, "xbc"), false},
        {oxString_c("abc"), oxString_c("abcde"), false},
        {oxString_c(), oxString_c(1, "x"), true},
        {oxString_c(), oxString_c(2, "xy"), false},
        {oxString_c(u"ab"), oxString_c(6, "a\0b\0\0\0"), true},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(p.a == p.b, p.equal) << bytes(p.a) << " vs " << bytes(p.b);
        EXPECT_EQ(p.b != p.a, !p.equal) << bytes(p.b) << " vs " << bytes(p.a);
    }
    char out[8] = "xxxxxxx";
    EXPECT_EQ(oxString_c().copyTo(nullptr), 0u);
    EXPECT_EQ(oxString_c().copyTo(out), 1u);
    EXPECT_EQ(oxString_c(u"a").copyTo(out + 1), 4u);
    EXPECT_EQ(std::string(out, 6), "\0a\0\0\0x"s);
}

TEST(oxString, ConversionsBetweenWidths) {
    oxString_c s("abc"), wideEmpty(noWide), narrowEmpty, euro("\x80"), counted(4, abcdUnits);
    EXPECT_TRUE(s.makeNarrow() && s.makeWide() && s.isWide());
    EXPECT_EQ(bytes(s), "a\0b\0c\0\0\0"s);
    EXPECT_TRUE(s.makeWide() && s.makeNarrow() && !s.isWide());
    EXPECT_EQ(bytes(s), "abc\0"s);
    s.toggleWide();
    s.toggleWide();
    EXPECT_EQ(bytes(s), "abc\0"s);
    EXPECT_FALSE(s.isWide());
    EXPECT_FALSE(wideEmpty.makeNarrow() || !wideEmpty.isWide());
    EXPECT_FALSE(narrowEmpty.makeWide() || narrowEmpty.isWide());
    ASSERT_TRUE(euro.makeWide());
    EXPECT_EQ(bytes(euro), "\xAC\x20\0\0"s);
    ASSERT_TRUE(euro.makeNarrow());
    EXPECT_EQ(bytes(euro), "\x80\0"s);
    // No terminator inside the length: only the counted units, then a terminator.
    ASSERT_TRUE(counted.makeNarrow());
    EXPECT_EQ(bytes(counted), "??\0"s); // U+4241 and U+4443 are not in the code page
    ASSERT_TRUE(oxp::setActiveCodePage(65001));
    oxString_c accented("\xC3\xA9");
    const bool converted = accented.makeWide();
    oxp::setActiveCodePage(1252);
    EXPECT_TRUE(converted);
    EXPECT_EQ(bytes(accented), "\xE9\0\0\0"s);
}

class oxStringRaise : public oxRaiseFixture {};

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
        std::uint32_t line, failing;
        oxString_c before;
        std::function<void(oxString_c&)> run;
        bool keeps, wide;
    };
    const std::vector<Site> sites = {
        // failing: the argument's own allocation comes first
        {293, 1, oxString_c(), [](oxString_c&) { oxString_c s(3, "abc"); }, true, false},
        {316, 1, oxString_c(), [](oxString_c&) { oxString_c s(3, abcdUnits); }, true, false},
        {346, 1, oxString_c(u"old"), [](oxString_c& s) { s.assign("new"); }, false, false},
        {374, 1, oxString_c("old"), [](oxString_c& s) { s.assign(u"new"); }, false, true},
        {396, 2, oxString_c(u"old"), [](oxString_c& s) { s.assign(oxString_c(4, "copy")); }, false,
         false},
        {396, 2, oxString_c(noWide), [](oxString_c& s) { s.append(oxString_c(u"new")); }, false,
         true},
        {418, 2, oxString_c("ab"), [](oxString_c& s) { s.append(oxString_c("cd")); }, true, false},
        {500, 1, oxString_c(u"ab"), [](oxString_c& s) { s.makeNarrow(); }, true, true},
        {541, 1, oxString_c("ab"), [](oxString_c& s) { s.makeWide(); }, true, false},
    };
    for (const Site& site : sites) {
        SCOPED_TRACE(site.line);
        oxLiveAllocations live;
        {
            oxString_c s(site.before);
            const std::string contents = bytes(s);
            {
                oxFailAllocation fail(site.failing);
                EXPECT_THROW(site.run(s), oxInsufficientMemory_c);
            }
            expectOneBox(oxTypeSource, site.line);
            EXPECT_EQ(bytes(s), site.keeps ? contents : "");
            EXPECT_EQ(s.isWide(), site.wide);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

} // namespace
