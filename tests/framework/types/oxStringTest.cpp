// oxString_c, oxText_c, oxValue_c, oxOctetString_c and oxDate_c: contents by how they arrived,
// append, equality, width conversions, the 16-bit length limit, dates byte for byte, per-kind
// assign and ==, and every allocation failure with the state it leaves.
#include "framework/types/oxString.h"
#include "framework/types/oxText.h"
#include "framework/types/oxTypeSource.h"
#include "framework/types/oxValue.h"
#include "platform/oxpClock.h"
#include "platform/oxpCodePage.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <cstring>
#include <vector>
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OX_SEES_BLOCK_SIZES 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(OX_SEES_BLOCK_SIZES)
#include <malloc.h>
#define OX_SEES_BLOCK_SIZES 1
#endif

namespace {
using namespace std::string_literals;

std::string bytes(const oxString_c& s) {
    return std::string(s.text(), s.length());
}
const char16_t abcdUnits[] = {0x4241, 0x4443, 0}; // the bytes "ABCD" in memory
const char16_t* const noWide = nullptr;

// What a string holds after each way of making or changing it: its bytes, "|w" when wide. The
// length counts a terminator only when the contents brought one; append joins over the
// terminator of the same width and ignores another width; conversions run to the terminator.
TEST(oxString, ContentsEqualityAndCopies) {
    const auto held = [](const oxString_c& s) { return bytes(s) + (s.isWide() ? "|w" : ""); };
    const auto joined = [](oxString_c s, const oxString_c& more) {
        s.append(more);
        return s;
    };
    const auto converted = [](oxString_c s, bool wide) {
        EXPECT_TRUE(wide ? s.makeWide() : s.makeNarrow()) << bytes(s);
        return s;
    };
    oxString_c counted(3, "abc"), own("ab"), twice("ab");
    own.assign(own.text() + 1); // from its own buffer
    twice.append(twice);
    const std::pair<oxString_c, std::string> rows[] = {
        // clang-format off
        {oxString_c(), ""},
        {oxString_c(u""), "\0\0|w"s},
        {noWide, "|w"},
        {oxString_c("abc"), "abc\0"s},
        {u"abc", "a\0b\0c\0\0\0|w"s},
        {oxString_c(3, "abcd"), "abc"},
        {oxString_c(3, abcdUnits), "ABC\0|w"s}, // rounded up to even
        {oxString_c(0, abcdUnits), "|w"},
        {counted, "abc"},
        {own, "b\0"s},
        {twice, "abab\0"s},
        {joined(oxString_c(","), oxString_c(" ")), ", \0"s},
        {joined(oxString_c(","), oxString_c(u"x")), ",\0"s},
        {joined(oxString_c(u"ab"), oxString_c(u"cd")), "a\0b\0c\0d\0\0\0|w"s},
        {joined(counted, oxString_c("de")), "abde\0"s}, // a counted receiver loses its last byte
        {joined(oxString_c(noWide), oxString_c(u"z")), "z\0\0\0|w"s},
        {joined(oxString_c(), oxString_c(u"z")), ""}, // widths differ even when empty
        {converted(oxString_c("abc"), true), "a\0b\0c\0\0\0|w"s},
        {converted(oxString_c("\x80"), true), "\xAC\x20\0\0|w"s},
        {converted(oxString_c(u"\u20AC"), false), "\x80\0"s},
        // No terminator inside the length: the counted units, then a terminator; U+4241 and
        // U+4443 are not in the code page.
        {converted(oxString_c(4, abcdUnits), false), "??\0"s},
        // clang-format on
    };
    for (const auto& [s, expected] : rows)
        EXPECT_EQ(held(s), expected);
    EXPECT_EQ(std::string(oxString_c().text()), "<oxString_c Null Pointer>");
    EXPECT_EQ(std::string(counted.text(), 4), "abc\0"s); // counted bytes stay terminated
    oxString_c wideEmpty(noWide), narrowEmpty;
    EXPECT_FALSE(wideEmpty.makeNarrow() || narrowEmpty.makeWide() || narrowEmpty.isWide());
    EXPECT_TRUE(wideEmpty.makeWide() && narrowEmpty.makeNarrow()); // already of that width
    ASSERT_TRUE(oxp::setActiveCodePage(65001));
    oxString_c accented("\xC3\xA9");
    const bool utf8 = accented.makeWide();
    oxp::setActiveCodePage(1252);
    EXPECT_TRUE(utf8 && bytes(accented) == "\xE9\0\0\0"s);
    // Equal contents, with one terminator byte tolerated either way; copyTo writes the bytes.
    const std::tuple<oxString_c, oxString_c, bool> pairs[] = {
        {oxString_c("abc"), oxString_c(3, "abc"), true},
        {oxString_c(2, "ab"), oxString_c(2, "ac"), true},
        {oxString_c("abc"), oxString_c(3, "xbc"), false},
        {oxString_c(), oxString_c(1, "x"), true},
        {oxString_c(), oxString_c(), true},
        {oxString_c(), oxString_c(2, "xy"), false},
        {oxString_c(u"ab"), oxString_c(6, "a\0b\0\0\0"), true}};
    for (const auto& [a, b, equal] : pairs)
        EXPECT_TRUE((a == b) == equal && (b != a) == !equal) << bytes(a) << " vs " << bytes(b);
    char out[8] = "xxxxxxx";
    EXPECT_EQ(oxString_c().copyTo(nullptr) + oxString_c().copyTo(out) + oxString_c(u"a").copyTo(out + 1), 5u);
    EXPECT_EQ(std::string(out, 6), "\0a\0\0\0x"s);
}

// Copies and appends hold exactly their length, with no spare zero bytes: under the address
// sanitizer a block's usable size is the size asked for (blocks of 32 bytes and more; the
// platform never hands out less). A copy of counted bytes has no terminator, so a text built
// from it goes by its length, or stops at a zero byte inside it.
TEST(oxString, CopiesAndAppendsHoldExactlyTheirLength) {
    const std::string letters(40, 'x');
    const oxString_c counted(40, letters.c_str()), copy(counted), text(letters.c_str());
    oxString_c joined(text);
    joined.append(counted);
    EXPECT_EQ(bytes(joined), letters + letters);
#ifdef OX_SEES_BLOCK_SIZES
    EXPECT_EQ(malloc_usable_size(const_cast<char*>(copy.text())), 40u);
    EXPECT_EQ(malloc_usable_size(const_cast<char*>(joined.text())), 80u);
#endif
    oxText_c path("dir\\");
    for (const oxString_c& s : {copy, oxString_c(5, "ab\0cd"), oxString_c(), oxString_c(u"w")})
        path.append(s);
    EXPECT_TRUE(path == ("dir\\" + letters + "abw").c_str());
}

// Text grows by appends and shrinks by removing the earliest exact match of a piece.
TEST(oxText, ComposesComparesCopiesAndRemovesTheEarliestExactMatch) {
    oxText_c name("C:\\x");
    name.append("\\");
    name.append(oxText_c("osComp.dll"));
    name.append(static_cast<const char*>(nullptr));
    name.append(oxText_c());
    name.append(name);
    EXPECT_TRUE(name == "C:\\x\\osComp.dllC:\\x\\osComp.dll" && name.length() == 30);
    for (auto [text, piece, after] : {std::tuple{"C:\\a.dll\\b.dll", ".dll", "C:\\a\\b.dll"},
                                      {"x.DLL", ".dll", "x.DLL"},
                                      {"ab", "abc", "ab"},
                                      {"abc", "", "abc"}}) {
        oxText_c byText(text), byObject(text);
        byText.removeFirst(piece);
        byObject.removeFirst(oxText_c(piece));
        EXPECT_TRUE(byText == after && byObject == oxText_c(after) && byText.length() == std::strlen(after))
            << text << " - " << piece;
    }
    name.assign("abc");
    EXPECT_FALSE(name == "abd" || name == "ab" || name == oxText_c("abd") || name == oxText_c());
    char out[6] = "xxxxx";
    EXPECT_EQ(name.copyTo(nullptr) + name.copyTo(out) + oxText_c().copyTo(out + 4), 4u);
    EXPECT_EQ(std::string(out, 5), "abcx\0"s); // no terminator copied but for an empty text
    name.assign("");
    EXPECT_TRUE(name == "" && name == nullptr && name.text() == nullptr);
}

using oxTypesTest = oxRaiseFixture;

TEST_F(oxTypesTest, SixteenBitTextIsLimitedTo257Units) {
    const std::u16string text(258, u'w');
    oxString_c s(text.c_str() + 1);
    EXPECT_THROW(s.assign(text.c_str()), oxFatal_c);
    EXPECT_EQ(boxes.boxes().at(0).text, std::string(oxTypeSource) + "::367" + oxBoxLineBreak + "Invalid string length");
    EXPECT_TRUE(s.length() == 0 && s.isWide() && oxString_c(text.c_str() + 1).length() == 516);
}

// Every allocation failure of strings, texts and values: one box from its line, no leak, and
// the state afterwards: the string's bytes, "w" when wide, the text, then the value's octet
// string length times 10 plus its string's length.
TEST_F(oxTypesTest, AllocationFailuresRaiseFromTheirLines) {
    constexpr const char* text = "..\\..\\cppType";
    const oxText_c piece("new");
    oxValue_c source;
    source.kind = 9;
    source.octetString.assign("source");
    source.string.assign("text");
    struct Held {
        oxString_c s;
        oxText_c t;
        oxValue_c v;
    };
    // failing: the argument's own allocation comes first
    const std::tuple<const char*, std::uint32_t, std::uint32_t, oxString_c, oxText_c,
                     std::function<void(Held&)>, std::string>
        sites[] = {
            // clang-format off
            {oxTypeSource, 293, 1, {}, {}, [](auto&) { oxString_c s(3, "abc"); }, "||34"},
            {oxTypeSource, 316, 1, {}, {}, [](auto&) { oxString_c s(3, abcdUnits); }, "||34"},
            {oxTypeSource, 346, 1, u"old", {}, [](auto& h) { h.s.assign("new"); }, "||34"},
            {oxTypeSource, 374, 1, "old", {}, [](auto& h) { h.s.assign(u"new"); }, "w||34"},
            {oxTypeSource, 396, 2, u"old", {}, [](auto& h) { h.s.assign(oxString_c(4, "copy")); }, "||34"},
            {oxTypeSource, 396, 2, noWide, {}, [](auto& h) { h.s.append(oxString_c(u"new")); }, "w||34"},
            {oxTypeSource, 418, 2, "ab", {}, [](auto& h) { h.s.append(oxString_c("cd")); }, "ab\0||34"s},
            {oxTypeSource, 500, 1, u"a", {}, [](auto& h) { h.s.makeNarrow(); }, "a\0\0\0w||34"s},
            {oxTypeSource, 541, 1, "ab", {}, [](auto& h) { h.s.makeWide(); }, "ab\0||34"s},
            {text, 74, 1, {}, "old", [](auto& h) { h.t.assign("new"); }, "||34"},
            {text, 95, 1, {}, "old", [&](auto& h) { h.t.assign(piece); }, "||34"},
            {text, 146, 1, {}, "old", [](auto& h) { h.t.append("new"); }, "|old|34"},
            {text, 166, 1, {}, "old", [&](auto& h) { h.t.append(piece); }, "|old|34"},
            {text, 146, 2, {}, "old", [](auto& h) { h.t.append(oxString_c(3, "new")); }, "|old|34"},
            {oxTypeSource, 769, 1, {}, {}, [](auto&) { oxOctetString_c x(2, "ab"); }, "||34"},
            {oxTypeSource, 797, 1, {}, {}, [](auto& h) { h.v.octetString.assign("new"); }, "||4"},
            {oxTypeSource, 826, 1, {}, {}, [&](auto& h) { h.v.octetString = source.octetString; }, "||4"},
            {oxTypeSource, 826, 1, {}, {}, [&](auto& h) { h.v.octetString.assign(source.string); }, "||4"},
            {oxTypeSource, 826, 1, {}, {}, [&](auto& h) { h.v.assign(source); }, "||4"},
            {oxTypeSource, 396, 1, {}, {}, [&](auto& h) { h.v.setString(source.string); }, "||30"},
            // clang-format on
        };
    for (const auto& [file, line, k, before, beforeText, run, after] : sites) {
        oxLiveAllocations live;
        {
            Held h{before, beforeText, {}};
            h.v.octetString.assign("old");
            h.v.string.assign("old");
            expectRaise(file, line, k, [&, &run = run] { run(h); });
            EXPECT_EQ(bytes(h.s) + (h.s.isWide() ? "w|" : "|") + (h.t.text() ? h.t.text() : "") +
                          "|" + std::to_string(h.v.octetString.length() * 10 + h.v.string.length()),
                      after)
                << line;
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

// The current time: 3 December 2026, 00:27:16.045 under the given bias.
TEST_F(oxTypesTest, DatesByteForByteAndNewValuesOfKindSixZeroAndNow) {
    const auto bytesOf = [](const oxDate_c& d) { return std::string(d.bytes(), oxDate_c::size); };
    const auto zeros = [](std::size_t n) { return std::string(n, '\0'); };
    for (auto [bias, offset] : {std::pair{0, "+000"}, {-60, "-060"}, {300, "+300"}}) {
        oxp::seam::fixClock(oxp::LocalTime{2026, 12, 4, 3, 0, 27, 16, 45}, bias);
        const oxValue_c v;
        oxp::seam::unfixClock();
        EXPECT_EQ(bytesOf(v.date), "20261203002716." + zeros(3) + "045" + offset + zeros(3));
    }
    const std::string noTime = "." + zeros(6) + "+" + zeros(6);
    EXPECT_EQ(bytesOf(oxDate_c("12 34 56 03 12 2026")), "20261203123456" + noTime);
    EXPECT_EQ(bytesOf(oxDate_c("03 12 2026")), "20261203" + zeros(6) + noTime);
    EXPECT_EQ(bytesOf(oxDate_c("03 12 20261")), zeros(14) + noTime);
    EXPECT_EQ(bytesOf(oxDate_c(nullptr)), zeros(28));
}

// Only the field of the kind is copied (the sum of the number fields shows which one did); an
// invalid kind becomes 6, copies nothing and equals nothing, itself included.
TEST_F(oxTypesTest, AssignCopiesOnlyTheFieldOfTheKindAndInvalidKindsNothing) {
    constexpr std::uint64_t big1 = 0x1'0000'0011, big7 = 0x2'0000'0017;
    const std::uint64_t gained[] = {10, big1, 0, 0, 0, 15, 11, big7}; // field 6 holds 5 before
    oxValue_c source;
    source.number0 = 10, source.number1 = big1, source.number5 = 15, source.number6 = 16;
    source.number7 = big7;
    for (std::uint32_t kind : {0u, 1u, 5u, 6u, 7u, 2u, 11u}) {
        source.kind = kind;
        oxValue_c v;
        v.number6 = 5;
        v.assign(source);
        const bool valid = kind <= 1 || (kind >= 5 && kind <= 7);
        EXPECT_EQ(v.number0 + v.number1 + v.number5 + v.number6 + v.number7, 5 + (valid ? gained[kind] : 0));
        EXPECT_TRUE(v.kind == (valid ? kind : 6) && (v == source) == valid) << kind;
    }
}

// == looks at the kind's field only: strings tolerate one terminator byte, octet strings and
// dates compare every byte. Copies are deep; octet strings count no terminator but a string's.
TEST_F(oxTypesTest, EqualityLooksAtTheKindsFieldOnlyAndCopiesAreDeep) {
    oxValue_c a, b;
    a.number6 = b.number6 = 7;
    a.number0 = 1;
    a.octetString.assign("x");
    std::string equal; // one mark per comparison, in order
    const auto compare = [&] { equal += a == b ? '=' : '#'; };
    compare();
    b.kind = 5, compare();
    a.setString(oxString_c("abc"));
    b.setString(oxString_c(3, "abc")), compare();
    b.setString(oxString_c("abd")), compare();
    a.kind = b.kind = 9, compare();
    b.octetString = oxOctetString_c("x"), compare();
    b.octetString.assign(oxString_c("x")), compare();
    b.octetString.assign("y"), compare();
    a.kind = b.kind = 10, a.date = oxDate_c("03 12 2026"), compare();
    b.date.assign(a.date), compare();
    b.date.bytes()[27] = 'x', compare();
    EXPECT_EQ(equal, "=#=##=###=#");
    oxValue_c s; // copies are deep: the sanitizer build sees any shared buffer
    s.setString(oxString_c(u"wide"));
    oxValue_c copy(s);
    EXPECT_TRUE(s.kind == 8 && copy.string.isWide() && copy == s);
    s.kind = 9;
    s.octetString.assign("bytes");
    s.octetString.assign(s.octetString);
    copy = s;
    EXPECT_TRUE(copy == s && s.octetString.length() == 5);
    s.octetString.assign("");
    EXPECT_TRUE(s.octetString.bytes() == nullptr && s.octetString == oxOctetString_c());
    const oxOctetString_c counted(3, "a\0b");
    EXPECT_EQ(std::string(counted.bytes(), 4), std::string("a\0b\0", 4)) << "one zero byte after";
    EXPECT_EQ(oxOctetString_c(0, "a").length() + oxOctetString_c(2, nullptr).length(), 0u);
    char out[8] = "zzzzzzz";
    EXPECT_EQ(counted.copyTo(nullptr) + oxOctetString_c().copyTo(out + 3) + counted.copyTo(out), 4u);
    EXPECT_EQ(std::string(out, 5), std::string("a\0b\0z", 5)) << "no terminator written";
}

} // namespace
