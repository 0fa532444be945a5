// Insert-style formatting: escapes, insert types, argument arrays and lists, refusals and bounds.
#include "framework/diag/oxFormatMessage.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t fromString = oxFormatFlag::fromString;
constexpr std::uint32_t fromArray = fromString | oxFormatFlag::argumentArray;
using Error = oxFormatError;
using Formatted = std::tuple<std::uint32_t, std::string, Error>;

std::uintptr_t p(const char* s) {
    return reinterpret_cast<std::uintptr_t>(s);
}

// Result, text and error of one call into a buffer of size bytes; nothing may pass the buffer.
Formatted viaArray(const char* text, std::vector<std::uintptr_t> args, std::uint32_t size = 256,
                   std::uint32_t flags = fromArray) {
    std::vector<char> buffer(size + 1, '#');
    Error error = Error::none;
    const std::uint32_t n = oxFormatMessageArray(flags, text, buffer.data(), size,
                                                 static_cast<std::uint32_t>(args.size()),
                                                 args.empty() ? nullptr : args.data(), &error);
    EXPECT_EQ(buffer[size], '#') << "written past the buffer";
    return {n, buffer.data(), error};
}
// The variadic form, with the number of inserts given first.
Formatted viaList(std::uint32_t count, const char* text, ...) {
    char buffer[65] = {};
    Error error = Error::none;
    va_list args;
    va_start(args, text);
    const std::uint32_t n = oxFormatMessageV(fromString, text, buffer, 64, count, &args, &error);
    va_end(args);
    return {n, buffer, error};
}

TEST(oxFormatMessage, ArrayInsertsAndEscapes) {
    const std::uintptr_t x = 0xBEEF, minus7 = static_cast<std::uintptr_t>(-7);
    const struct {
        const char* text;
        std::vector<std::uintptr_t> args;
        const char* expected;
        std::uint32_t flags = fromArray;
    } cases[] = {
        {"no inserts", {}, "no inserts"},
        {"%1 and %2", {p("a"), p("b")}, "a and b"},
        {"[%1!s!]", {p("xy")}, "[xy]"},
        {"%1!lu!|%2!lu!", {4294967295u, 0x100000005}, "4294967295|5"},
        {"%1!d!/%2!ld!", {minus7, 0xFFFFFFFEu}, "-7/-2"},
        {"%1!x! %1!X! %1!lx! %1!#x!", {x}, "beef BEEF beef 0xbeef"},
        {"%1!Iu!", {4000000000}, "4000000000"},
        {"%1!o! %2!c!", {8u, 'Z'}, "10 Z"},
        {"[%1!5lu!][%2!-4s!]", {42u, p("ab")}, "[   42][ab  ]"},
        {"[%1!08X!][%2!.2s!]", {0xABu, p("abcdef")}, "[000000AB][ab]"},
        {"%1!I64u! %2!llx!", {10000000000, 0x1F}, "10000000000 1f"},
        {"%1!hs! %2!hu!", {p("h"), 0x10005u}, "h 5"},
        {"%2-%1-%2", {p("1"), p("2")}, "2-1-2"},
        {"%10|%100", {1, 2, 3, 4, 5, 6, 7, 8, 9, p("ten")}, "ten|ten0"},
        {"<%1>", {0}, "<(null)>"},
        {"100%% %. %! % x", {}, "100% . !  x"},
        {"a%nb%tc%rd", {}, "a\nb\tc\rd"},
        {"%q%,", {}, "q,"},
        {"kept%0dropped %5", {}, "kept"},
        {"%0ignored", {}, ""},
        {"one\r\ntwo\nthree\r", {}, "one\r\ntwo\nthree\r"},
        {"%1!s!::%2!lu!\n", {p("..\\..\\oxType"), 58u}, "..\\..\\oxType::58\n"},
        {"a\r\nb\nc\rd%ne", {}, "a b c d\ne", fromArray | oxFormatFlag::maxWidthMask},
        {"%1!lu! of %2%n%%", {}, "%1!lu! of %2\n%", fromArray | oxFormatFlag::ignoreInserts},
        {"%1!p!", {0xAB}, sizeof(void*) == 8 ? "00000000000000AB" : "000000AB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viaArray(c.text, c.args, 256, c.flags),
                  Formatted(std::strlen(c.expected), c.expected, Error::none))
            << c.text;
}

// Inserts are read in insert order with their types, not in the order the text names them; a
// repeat reads nothing more, a skipped one is read as one pointer-sized value, extra ones are
// left unread; fewer given than named: nothing is read and nothing written.
TEST(oxFormatMessage, ListReadsEachInsertWithItsTypeInInsertOrder) {
    EXPECT_EQ(viaList(4, "%1!s! %2!lu! %3!I64d! %4!c!", "txt", 7u, 123456789012LL, 'q'),
              Formatted(20, "txt 7 123456789012 q", Error::none));
    EXPECT_EQ(std::get<1>(viaList(3, "%3!d!,%1!s!,%3!d!,%2!I64u!", "first", ~0ULL, -3)),
              "-3,first,-3,18446744073709551615");
    EXPECT_EQ(std::get<1>(viaList(3, "%1!s!%3!s!", "a", static_cast<void*>(nullptr), "c")) +
                  std::get<1>(viaList(2, "|only %1", "this", "unused")),
              "ac|only this");
    EXPECT_EQ(viaList(1, "%1 and %2", "a", "b"), Formatted(0, "", Error::missingInsert));
}

TEST(oxFormatMessage, RefusedTextsFlagsArgumentsAndBuffers) {
    constexpr Error missing = Error::missingInsert, invalid = Error::invalidParameter;
    const struct {
        const char* text;
        std::uint32_t count;
        Error error;
        std::uint32_t flags = fromArray;
    } cases[] = {
        {"%1 %2", 1, missing},
        {"%1", 0, missing},
        {"a%0%3", 0, Error::none},
        {"50%", 0, invalid},
        {"%1!lu", 1, invalid},
        {"%1!!", 1, invalid},
        {"%1!*s!", 2, invalid},
        {"%1!f!", 1, invalid},
        {"%1!ls!", 1, invalid},
        {"%1!S!", 1, invalid},
        {"%1!lq!", 1, invalid},
        {"%1!sx!", 1, invalid},
        {"%1!l!", 1, invalid},
        {"%1!#s!", 1, invalid},
        {"%1!05s!", 1, invalid},
        {"%1!I64s!", 1, invalid},
        {"%1!.4p!", 1, invalid},
        {"%1!lc!", 1, invalid},
        {"x", 0, invalid, oxFormatFlag::argumentArray},
        {"line width", 0, invalid, fromArray | 40},
        {"unknown flag", 0, invalid, fromArray | 0x100},
    };
    const std::uintptr_t args[] = {p("a"), p("b"), p("c")};
    for (const auto& c : cases) {
        char buffer[32] = "xxxx";
        Error error = Error::none;
        const std::uint32_t n =
            oxFormatMessageArray(c.flags, c.text, buffer, 32, c.count, args, &error);
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_TRUE(c.error == Error::none || std::to_string(n) + buffer == "0") << c.text;
    }
    char buffer[16] = "unchanged";
    EXPECT_EQ(oxFormatMessageArray(fromArray, "x", buffer, 0, 0, nullptr), 0u);
    EXPECT_STREQ(buffer, "unchanged") << "a zero size writes nothing";
    EXPECT_EQ(oxFormatMessageArray(fromArray, nullptr, buffer, 16, 0, nullptr) +
                  oxFormatMessageArray(fromArray, "x", nullptr, 16, 0, nullptr) +
                  oxFormatMessageArray(fromArray, "%1", buffer, 16, 1, nullptr),
              0u);
    // The list form refuses the array flag and a missing list, unless nothing is inserted.
    Error errors[2] = {};
    EXPECT_EQ(oxFormatMessageV(fromArray, "x", buffer, 16, 0, nullptr, &errors[0]) +
                  oxFormatMessageV(fromString, "%1", buffer, 16, 1, nullptr, &errors[1]),
              0u);
    EXPECT_TRUE(errors[0] == Error::invalidParameter && errors[1] == Error::missingInsert);
    EXPECT_EQ(oxFormatMessageV(fromString, "no inserts", buffer, 16, 0, nullptr, errors), 10u);
    EXPECT_STREQ(buffer, "no inserts");
}

TEST(oxFormatMessage, OutputIsCutAtTheBufferEnd) {
    // "abc-12345-xyz" is 13 characters: it needs 14 bytes.
    for (std::uint32_t size = 1; size <= 14; ++size)
        EXPECT_EQ(viaArray("abc-%1!lu!-%2", {12345u, p("xyz")}, size),
                  size == 14 ? Formatted(13, "abc-12345-xyz", Error::none)
                             : Formatted(0, std::string("abc-12345-xyz").substr(0, size - 1),
                                         Error::insufficientBuffer))
            << size;
    const std::string longText(600, 'w');
    EXPECT_EQ(viaArray(">%1", {p(longText.c_str())}, 512),
              Formatted(0, ">" + longText.substr(0, 510), Error::insufficientBuffer));
    EXPECT_EQ(viaArray("%1!700lu!", {1u}, 512),
              Formatted(0, std::string(511, ' '), Error::insufficientBuffer));
}

} // namespace
