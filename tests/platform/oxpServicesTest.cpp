// Process services: the allocation pair and its failure seam, the clock, message boxes, the
// system's message formatter, and code page conversions with the Windows calls' conventions.
#include "framework/diag/oxFormatMessage.h"
#include "platform/oxpClock.h"
#include "platform/oxpCodePage.h"
#include "platform/oxpFormatMessage.h"
#include "platform/oxpMessageBox.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(Allocation, BlocksAreZeroFilledAtLeast32BytesCountedAndFailedAsPlanned) {
    oxLiveAllocations live;
    for (std::size_t n : {0u, 31u, 100u}) {
        auto* p = static_cast<unsigned char*>(oxp::allocate(n));
        const auto size = static_cast<std::ptrdiff_t>(std::max<std::size_t>(n, 32));
        ASSERT_TRUE(p && live.leaked() == 1) << n;
        EXPECT_EQ(std::count(p, p + size, 0), size) << n;
        oxp::release(p);
    }
    oxp::release(nullptr);
    // How the next n allocations go: '.' served, 'x' failed.
    const auto next = [](int n) {
        std::string outcome = " ";
        for (int i = 0; i < n; ++i)
            outcome += std::unique_ptr<void, void (*)(void*)>(oxp::allocate(1), oxp::release) ? '.' : 'x';
        return outcome;
    };
    oxp::seam::failAllocation(1, true);
    oxp::seam::failAllocation(3, false); // a new plan replaces the old one
    std::string outcome = next(5);
    oxp::seam::failAllocation(2, true);
    outcome += next(4);
    oxp::seam::clearAllocationFailure();
    EXPECT_EQ(outcome + next(2), " ..x.. .xxx ..");
    EXPECT_EQ(live.leaked(), 0); // failed ones are never counted
}

TEST(Clock, TheSeamFixesTheClockAndTheRealOneAgreesWithTheCLibrary) {
    oxp::seam::fixClock(oxp::LocalTime{2001, 2, 6, 3, 4, 5, 6, 789}, -60);
    EXPECT_TRUE(oxp::localTime().milliseconds == 789 && oxp::timeZoneBias() == -60);
    oxp::seam::unfixClock();
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const oxp::LocalTime t = oxp::localTime();
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.dayOfWeek, t.milliseconds < 1000}),
              std::vector<int>({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday, 1}));
#ifndef _WIN32 // the C library of Windows keeps no offset in its broken-down time
    EXPECT_EQ(oxp::timeZoneBias(), -static_cast<std::int32_t>(local.tm_gmtoff / 60));
#endif
}

// The real clock converts to local time once a second per thread: the milliseconds still move
// within the second, a new zone shows from the next second on, and fixing the clock wins at once.
TEST(Clock, TheRealClockFollowsTheMillisecondsAndAChangeOfZoneAndYieldsToTheSeam) {
    const auto msOfHour = [](const oxp::LocalTime& t) {
        return (t.minute * 60 + t.second) * 1000 + t.milliseconds;
    };
    const oxp::LocalTimeAndBias first = oxp::localTimeAndBias();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int moved = (msOfHour(oxp::localTime()) - msOfHour(first.time) + 3600000) % 3600000;
    EXPECT_TRUE(moved >= 10 && moved < 5000) << moved;
#ifndef _WIN32 // Windows takes its zone from the system's settings, not from TZ
    const char* saved = std::getenv("TZ");
    const std::string savedZone = saved ? saved : "";
    const bool wasEastern = first.bias == 300; // EST5: five hours behind UTC
    setenv("TZ", wasEastern ? "UTC0" : "EST5", 1);
    tzset();
    for (const std::time_t start = std::time(nullptr); std::time(nullptr) == start;)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const oxp::LocalTimeAndBias next = oxp::localTimeAndBias();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    saved ? setenv("TZ", savedZone.c_str(), 1) : unsetenv("TZ");
    tzset();
    EXPECT_EQ(std::vector<int>({next.bias, next.time.hour}),
              std::vector<int>({wasEastern ? 0 : 300, local.tm_hour}));
#endif
    oxp::seam::fixClock(oxp::LocalTime{2001, 2, 6, 3, 4, 5, 6, 789}, 120);
    const oxp::LocalTimeAndBias fixed = oxp::localTimeAndBias();
    oxp::seam::unfixClock();
    EXPECT_EQ(std::vector<int>({fixed.time.hour, fixed.time.milliseconds, fixed.bias}),
              std::vector<int>({4, 789, 120}));
}

// Without a presenter the default one is back: it writes "title: text" to standard error, and a
// missing title reads "Error", as MessageBoxA shows it.
TEST(MessageBox, TheDefaultPresenterWritesToStandardError) {
#ifdef _WIN32
    GTEST_SKIP() << "Linux only: on Windows the default presenter is the real MessageBoxA";
#endif
    oxBoxRecorder recorder;
    const oxp::MessageBoxPresenter recording = oxp::setMessageBoxPresenter(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(oxp::messageBox("Module failed.", "OX Error", oxp::mbIconError), oxp::idOk);
    oxp::messageBox(nullptr, nullptr, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "OX Error: Module failed.\nError: \n");
    oxp::setMessageBoxPresenter(recording);
}

// The system's formatter writes what the portable one writes (box headers, %n), each line break
// as CR LF; POSIX has none, and its callers keep the portable text with LF.
TEST(FormatMessage, TheSystemAndThePortableFormatterAgreeButForTheLineBreak) {
    const std::uintptr_t inserts[] = {reinterpret_cast<std::uintptr_t>("..\\oxType"), 367};
    for (auto [text, portable] : {std::pair{"%1!s!::%2!lu!\n", "..\\oxType::367\n"},
                                  {"%2!lu!::\n", "367::\n"}, {"a%nb%0", "a\nb"},
                                  {"%1%n%n%2!lu! 100%%", "..\\oxType\n\n367 100%"}}) {
        SCOPED_TRACE(text);
        char ours[64] = {}, system[64] = {};
        EXPECT_EQ(oxFormatMessageArray(oxFormatFlag::fromString, text, ours, 64, 2, inserts),
                  std::strlen(portable));
        EXPECT_STREQ(ours, portable);
        const std::uint32_t n = oxp::formatMessageArray(0, text, system, sizeof system, inserts);
#ifdef _WIN32
        std::string crlf;
        for (const char* c = portable; *c; ++c)
            crlf += *c == '\n' ? "\r\n" : std::string(1, *c);
        EXPECT_EQ(std::string(system, n), crlf);
#else
        EXPECT_EQ(n, 0u);
#endif
    }
}

// Both calls measure first, then convert into a buffer of exactly the measured size.
std::u16string toWide(std::uint32_t cp, const std::string& s) {
    const int size = static_cast<int>(s.size());
    const int n = oxp::multiByteToWideChar(cp, 0, s.data(), size, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(n), u'#');
    wide.resize(static_cast<std::size_t>(oxp::multiByteToWideChar(cp, 0, s.data(), size, wide.data(), n)));
    return wide;
}
std::string toBytes(std::uint32_t cp, const std::u16string& w, bool* usedDefault = nullptr,
                    const char* defaultChar = nullptr) {
    const int size = static_cast<int>(w.size());
    const int n = oxp::wideCharToMultiByte(cp, 0, w.data(), size, nullptr, 0, defaultChar, usedDefault);
    std::string bytes(static_cast<std::size_t>(n), '#');
    bytes.resize(static_cast<std::size_t>(
        oxp::wideCharToMultiByte(cp, 0, w.data(), size, bytes.data(), n, defaultChar, usedDefault)));
    return bytes;
}

TEST(CodePage, TheWindows1252TableMapsEveryByteBothWays) {
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
    // Unmappable characters, a surrogate pair counting as one: the given default character or '?'.
    using Row = std::tuple<std::u16string, const char*, const char*>;
    for (auto [wide, defaultChar, bytes] :
         {Row{u"a\u0100b", nullptr, "a?b"}, Row{u"\u4E2D", "*", "*"}, Row{u"\U0001F600", nullptr, "?"}}) {
        usedDefault = false;
        EXPECT_EQ(toBytes(1252, wide, &usedDefault, defaultChar), bytes);
        EXPECT_TRUE(usedDefault) << bytes;
    }
}

TEST(CodePage, Utf8CoversEveryPlaneAndRejectsBadSequences) {
    const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(toWide(oxp::cpUtf8, utf8), u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(toBytes(oxp::cpUtf8, u"a\u00E9\u20AC\U0001F600"), utf8);
    EXPECT_EQ(toBytes(oxp::cpUtf8, std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    for (const char* bad :
         {"\x80", "\xC0\xAF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\xC3"})
        EXPECT_EQ(oxp::multiByteToWideChar(oxp::cpUtf8, 0, bad, -1, nullptr, 0), 0) << bad;
}

// A -1 length counts the terminator; a buffer too small, a bad argument or an unknown code page
// give 0. The active code page is 1252 unless the host chooses another.
TEST(CodePage, LengthsBuffersAndTheActiveCodePageFollowTheWindowsConventions) {
    char16_t wide[8] = {};
    EXPECT_EQ(oxp::multiByteToWideChar(1252, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(oxp::multiByteToWideChar(1252, 0, "abcdef", -1, wide, 3), 0);
    EXPECT_EQ(oxp::multiByteToWideChar(437, 0, "abc", -1, wide, 4), 0);
    char bytes[8] = {};
    EXPECT_EQ(oxp::wideCharToMultiByte(1252, 0, u"\u20ACx", -1, bytes, 3, nullptr, nullptr), 3);
    EXPECT_STREQ(bytes, "\x80x");
    EXPECT_EQ(oxp::wideCharToMultiByte(oxp::cpUtf8, 0, u"\u20AC", -1, bytes, 3, nullptr, nullptr), 0);
    EXPECT_EQ(toWide(oxp::cpAcp, "\x80"), u"\u20AC");
    EXPECT_FALSE(oxp::setActiveCodePage(437));
    ASSERT_TRUE(oxp::setActiveCodePage(oxp::cpUtf8));
    EXPECT_EQ(oxp::activeCodePage(), oxp::cpUtf8);
    EXPECT_EQ(toBytes(oxp::cpAcp, u"\u20AC"), "\xE2\x82\xAC");
    ASSERT_TRUE(oxp::setActiveCodePage(1252));
}

} // namespace
