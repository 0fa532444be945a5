// oxValue_c, oxOctetString_c and oxDate_c: both date text forms and the current-time date byte
// for byte, per-kind assign and ==, octet string bytes, and the raise sites.
#include "framework/types/oxValue.h"
#include "platform/oxpClock.h"
#include "tests/framework/types/oxRaiseFixture.h"
#include <functional>
#include <string>

namespace {
std::string bytesOf(const oxDate_c& d) {
    return std::string(d.bytes(), oxDate_c::size);
}
std::string bytesOf(const oxOctetString_c& o) {
    return std::string(o.bytes(), o.length());
}
std::string zeros(std::size_t n) {
    return std::string(n, '\0');
}

using oxValueTest = oxRaiseFixture;

// The current time: 3 December 2026, 00:27:16.045 under the given bias.
TEST_F(oxValueTest, DatesByteForByteAndNewValuesOfKindSixZeroAndNow) {
    for (auto [bias, offset] : {std::pair{0, "+000"}, {-60, "-060"}, {300, "+300"}}) {
        oxp::seam::fixClock(oxp::LocalTime{2026, 12, 4, 3, 0, 27, 16, 45}, bias);
        const oxValue_c v;
        oxp::seam::unfixClock();
        EXPECT_EQ(bytesOf(v.date), "20261203002716." + zeros(3) + "045" + offset + zeros(3));
        EXPECT_TRUE(v.kind == 6 && v.number6 == 0 && v.string.length() == 0);
    }
    const std::string noTime = "." + zeros(6) + "+" + zeros(6);
    EXPECT_EQ(bytesOf(oxDate_c("12 34 56 03 12 2026")), "20261203123456" + noTime);
    EXPECT_EQ(bytesOf(oxDate_c("03 12 2026")), "20261203" + zeros(6) + noTime);
    EXPECT_EQ(bytesOf(oxDate_c("03 12 20261")), zeros(14) + noTime);
    EXPECT_EQ(bytesOf(oxDate_c(nullptr)), zeros(28));
    const oxDate_c a("12 34 56 03 12 2026");
    oxDate_c b("03 12 2026");
    EXPECT_FALSE(a == b);
    b.assign(a);
    EXPECT_TRUE(a == b);
    b.bytes()[27] = 'x';
    EXPECT_FALSE(a == b) << "the trailing bytes count too";
}

TEST_F(oxValueTest, AssignCopiesOnlyTheFieldOfTheKindAndInvalidKindsNothing) {
    oxValue_c source;
    source.number0 = 10, source.number1 = 0x1'0000'0011, source.number5 = 15;
    source.number6 = 16, source.number7 = 0x2'0000'0017;
    for (std::uint32_t kind : {0u, 1u, 5u, 6u, 7u, 2u, 3u, 4u, 11u}) {
        SCOPED_TRACE(kind);
        const bool valid = kind <= 1 || (kind >= 5 && kind <= 7);
        source.kind = kind;
        oxValue_c v;
        v.number6 = 5;
        v.assign(source);
        EXPECT_EQ(
            std::vector<std::uint64_t>(
                {v.kind, v.number0, v.number1, v.number5, v.number6, v.number7}),
            std::vector<std::uint64_t>({valid ? kind : 6u, kind == 0 ? 10u : 0u,
                                        kind == 1 ? 0x1'0000'0011u : 0u, kind == 5 ? 15u : 0u,
                                        kind == 6 ? 16u : 5u, kind == 7 ? 0x2'0000'0017u : 0u}));
        EXPECT_EQ(v == source, valid) << "an invalid kind equals nothing, itself included";
    }
}

TEST_F(oxValueTest, EqualityLooksAtTheKindsFieldOnlyAndCopiesAreDeep) {
    oxValue_c a, b;
    a.number6 = b.number6 = 7;
    a.number0 = 1;
    a.octetString.assign("x");
    std::string equal; // one mark per comparison, in order
    const auto compare = [&] { equal += a == b ? '=' : '#'; };
    compare();
    b.kind = 5, compare();
    a.setString(oxString_c("abc"));
    b.setString(oxString_c(3, "abc")), compare(); // one terminator byte is tolerated
    b.setString(oxString_c("abd")), compare();
    a.kind = b.kind = 9, compare();
    b.octetString.assign("x"), compare();
    a.kind = b.kind = 10, a.date = oxDate_c("03 12 2026"), compare();
    b.date = a.date, compare();
    EXPECT_EQ(equal, "=#=##=#=");
    oxValue_c s;
    s.setString(oxString_c(u"wide"));
    oxValue_c copy(s);
    EXPECT_TRUE(s.kind == 8 && copy.string.isWide() && copy == s &&
                copy.string.text() != s.string.text());
    s.kind = 9;
    s.octetString.assign("bytes");
    copy = s;
    EXPECT_TRUE(bytesOf(copy.octetString) == "bytes" &&
                copy.octetString.bytes() != s.octetString.bytes());
}

TEST_F(oxValueTest, OctetStringKeepsCountedBytes) {
    oxOctetString_c text("abc"), fromString;
    fromString.assign(oxString_c("abc"));
    EXPECT_EQ(text.length(), 3u);
    EXPECT_EQ(bytesOf(fromString), std::string("abc\0", 4)) << "the string's terminator counts";
    EXPECT_FALSE(text == fromString || text == oxOctetString_c("abd")) << "the last byte counts";
    EXPECT_TRUE(text == oxOctetString_c("abc")) << "separate buffers, same bytes";
    const oxOctetString_c counted(3, "a\0b");
    EXPECT_EQ(std::string(counted.bytes(), 4), std::string("a\0b\0", 4)) << "one zero byte after";
    EXPECT_EQ(oxOctetString_c(0, "a").length() + oxOctetString_c(2, nullptr).length(), 0u);
    text.assign("");
    EXPECT_TRUE(text.bytes() == nullptr && text == oxOctetString_c());
    fromString.assign(fromString);
    EXPECT_EQ(fromString.length(), 4u);
    char out[8] = "zzzzzzz";
    EXPECT_EQ(oxOctetString_c("ab").copyTo(nullptr) + oxOctetString_c().copyTo(out), 1u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(oxOctetString_c("abc").copyTo(out), 3u);
    EXPECT_EQ(std::string(out, 4), "abcz") << "no terminator written";
}

TEST_F(oxValueTest, AllocationFailuresRaiseAndLeaveTheFieldEmpty) {
    using Field = std::uint32_t (*)(const oxValue_c&);
    const Field octets = [](const oxValue_c& v) { return v.octetString.length(); };
    const struct {
        std::uint32_t line;
        std::function<void(oxValue_c&, const oxValue_c&)> act;
        Field emptied; // the field the failure leaves empty, if any
    } cases[] = {
        {769, [](auto&, auto&) { oxOctetString_c x(2, "ab"); }, nullptr},
        {797, [](auto& v, auto&) { v.octetString.assign("new"); }, octets},
        {826, [](auto& v, auto& s) { v.octetString.assign(s.octetString); }, octets},
        {826, [](auto& v, auto& s) { v.octetString.assign(s.string); }, octets},
        {826, [](auto& v, auto& s) { v.assign(s); }, octets},
        {396, [](auto& v, auto& s) { v.setString(s.string); },
         [](const oxValue_c& v) { return v.string.length(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        oxLiveAllocations live;
        {
            oxValue_c v, source;
            v.octetString.assign("old");
            v.string.assign("old");
            source.kind = 9;
            source.octetString.assign("source");
            source.string.assign("text");
            {
                oxFailAllocation fail(1);
                EXPECT_THROW(c.act(v, source), oxInsufficientMemory_c);
            }
            expectOneBox("..\\..\\oxType", c.line);
            EXPECT_EQ(c.emptied ? c.emptied(v) : 0u, 0u);
        }
        EXPECT_EQ(live.leaked(), 0);
    }
}

} // namespace
