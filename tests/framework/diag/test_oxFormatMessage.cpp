// Insert-style formatting: escapes, insert types, argument sources, failures and bounds.
#include "framework/diag/oxFormatMessage.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t fromString = oxFormatFlag::fromString;
constexpr std::uint32_t fromArray = oxFormatFlag::fromString | oxFormatFlag::argumentArray;

std::uintptr_t p(const char* s) { return reinterpret_cast<std::uintptr_t>(s); }

struct Formatted {
    std::uint32_t result;
    std::string text;
    oxFormatError error;
};

Formatted viaArray(const char* text, std::vector<std::uintptr_t> args, std::uint32_t size = 256,
                   std::uint32_t flags = fromArray) {
    std::vector<char> buffer(size + 1, '#');
    oxFormatError error = oxFormatError::none;
    const std::uint32_t n = oxFormatMessageArray(flags, text, buffer.data(), size,
                                                 static_cast<std::uint32_t>(args.size()),
                                                 args.empty() ? nullptr : args.data(), &error);
    EXPECT_EQ(buffer[size], '#') << "written past the buffer";
    return {n, buffer.data(), error};
}

// The variadic form, with the number of inserts given first.
Formatted viaList(std::uint32_t size, std::uint32_t count, const char* text, ...) {
    std::vector<char> buffer(size + 1, '#');
    oxFormatError error = oxFormatError::none;
    va_list args;
    va_start(args, text);
    const std::uint32_t n =
        oxFormatMessageV(fromString, text, buffer.data(), size, count, &args, &error);
    va_end(args);
    EXPECT_EQ(buffer[size], '#') << "written past the buffer";
    return {n, buffer.data(), error};
}

struct ArrayCase {
    const char* name;
    const char* text;
    std::vector<std::uintptr_t> args;
    const char* expected;
    std::uint32_t flags = fromArray;
};

TEST(oxFormatMessage, ArrayInsertsAndEscapes) {
    const ArrayCase cases[] = {
        {"plain", "no inserts", {}, "no inserts"},
        {"default type is text", "%1 and %2", {p("a"), p("b")}, "a and b"},
        {"explicit text", "[%1!s!]", {p("xy")}, "[xy]"},
        {"unsigned 32", "%1!lu!", {4294967295u}, "4294967295"},
        {"long is 32 bits", "%1!lu!", {std::uintptr_t{0x100000005}}, "5"},
        {"signed 32", "%1!d!/%2!ld!", {static_cast<std::uintptr_t>(-7), 0xFFFFFFFEu}, "-7/-2"},
        {"hex", "%1!x! %1!X! %1!lx! %1!#x!", {0xBEEFu}, "beef BEEF beef 0xbeef"},
        {"pointer-sized", "%1!Iu!", {std::uintptr_t{4000000000}}, "4000000000"},
        {"octal and char", "%1!o! %2!c!", {8u, 'Z'}, "10 Z"},
        {"width and left align", "[%1!5lu!][%2!-4s!]", {42u, p("ab")}, "[   42][ab  ]"},
        {"zero pad and precision", "[%1!08X!][%2!.2s!]", {0xABu, p("abcdef")}, "[000000AB][ab]"},
        {"64-bit", "%1!I64u! %2!llx!", {std::uintptr_t{10000000000}, std::uintptr_t{0x1F}},
         "10000000000 1f"},
        {"half width", "%1!hs! %2!hu!", {p("h"), 0x10005u}, "h 5"},
        {"reordered and repeated", "%2-%1-%2", {p("one"), p("two")}, "two-one-two"},
        {"two-digit insert", "%10|%100", {1, 2, 3, 4, 5, 6, 7, 8, 9, p("ten")}, "ten|ten0"},
        {"null text", "<%1>", {0}, "<(null)>"},
        {"percent escapes", "100%% %. %! % x", {}, "100% . !  x"},
        {"control escapes", "a%nb%tc%rd", {}, "a\nb\tc\rd"},
        {"other character after percent", "%q%,", {}, "q,"},
        {"%0 ends the output", "kept%0dropped %5", {}, "kept"},
        {"empty output reads 0", "%0ignored", {}, ""},
        {"line breaks copied", "one\r\ntwo\nthree\r", {}, "one\r\ntwo\nthree\r"},
        {"header template", "%1!s!::%2!lu!\n", {p("..\\..\\oxType"), 58u},
         "..\\..\\oxType::58\n"},
        {"width mask joins lines, keeps hard breaks", "a\r\nb\nc\rd%ne", {}, "a b c d\ne",
         fromArray | oxFormatFlag::maxWidthMask},
        {"ignored inserts are copied", "%1!lu! of %2%n%%", {}, "%1!lu! of %2\n%",
         fromArray | oxFormatFlag::ignoreInserts},
    };
    for (const ArrayCase& c : cases) {
        const Formatted f = viaArray(c.text, c.args, 256, c.flags);
        EXPECT_EQ(f.text, c.expected) << c.name;
        EXPECT_EQ(f.result, std::strlen(c.expected)) << c.name;
        EXPECT_EQ(f.error, oxFormatError::none) << c.name;
    }
}

TEST(oxFormatMessage, PointerShowsAllHexDigits) {
    const std::uintptr_t value = 0xAB;
    const std::string expected = std::string(2 * sizeof(void*) - 2, '0') + "AB";
    EXPECT_EQ(viaArray("%1!p!", {value}).text, expected);
}

TEST(oxFormatMessage, ListReadsEachInsertWithItsType) {
    const long long big = 123456789012LL;
    Formatted f = viaList(128, 4, "%1!s! %2!lu! %3!I64d! %4!c!", "txt", 7u, big, 'q');
    EXPECT_EQ(f.text, "txt 7 123456789012 q");
    EXPECT_EQ(f.result, f.text.size());

    // Read in insert order, not in the order the text names them; a repeat reads nothing more.
    f = viaList(128, 3, "%3!d!,%1!s!,%3!d!,%2!I64u!", "first", 18446744073709551615ULL, -3);
    EXPECT_EQ(f.text, "-3,first,-3,18446744073709551615");

    // A skipped insert is read as one pointer-sized value.
    f = viaList(128, 3, "%1!s!%3!s!", "a", static_cast<void*>(nullptr), "c");
    EXPECT_EQ(f.text, "ac");

    // More inserts given than named: the extra ones are left unread.
    f = viaList(128, 2, "only %1", "this", "unused");
    EXPECT_EQ(f.text, "only this");

    // Fewer given than named: nothing is read and nothing written.
    f = viaList(64, 1, "%1 and %2", "a", "b");
    EXPECT_EQ(f.result, 0u);
    EXPECT_EQ(f.error, oxFormatError::missingInsert);
    EXPECT_EQ(f.text, "");
}

struct FailureCase {
    const char* name;
    std::uint32_t flags;
    const char* text;
    std::uint32_t count;
    oxFormatError error;
};

TEST(oxFormatMessage, RefusedTextsAndFlags) {
    const FailureCase cases[] = {
        {"insert beyond the count", fromArray, "%1 %2", 1, oxFormatError::missingInsert},
        {"inserts but none given", fromArray, "%1", 0, oxFormatError::missingInsert},
        {"insert after %0 is not needed", fromArray, "a%0%3", 0, oxFormatError::none},
        {"percent at the end", fromArray, "50%", 0, oxFormatError::invalidParameter},
        {"unclosed type", fromArray, "%1!lu", 1, oxFormatError::invalidParameter},
        {"empty type", fromArray, "%1!!", 1, oxFormatError::invalidParameter},
        {"star width", fromArray, "%1!*s!", 2, oxFormatError::invalidParameter},
        {"floating point", fromArray, "%1!f!", 1, oxFormatError::invalidParameter},
        {"wide text", fromArray, "%1!ls!", 1, oxFormatError::invalidParameter},
        {"wide text S", fromArray, "%1!S!", 1, oxFormatError::invalidParameter},
        {"unknown type", fromArray, "%1!lq!", 1, oxFormatError::invalidParameter},
        {"trailing junk in type", fromArray, "%1!sx!", 1, oxFormatError::invalidParameter},
        {"modifier without type", fromArray, "%1!l!", 1, oxFormatError::invalidParameter},
        {"alternate form of a text", fromArray, "%1!#s!", 1, oxFormatError::invalidParameter},
        {"zero padded text", fromArray, "%1!05s!", 1, oxFormatError::invalidParameter},
        {"64-bit text", fromArray, "%1!I64s!", 1, oxFormatError::invalidParameter},
        {"pointer with precision", fromArray, "%1!.4p!", 1, oxFormatError::invalidParameter},
        {"wide character", fromArray, "%1!lc!", 1, oxFormatError::invalidParameter},
        {"not from a string", oxFormatFlag::argumentArray, "x", 0,
         oxFormatError::invalidParameter},
        {"unsupported line width", fromArray | 40, "x", 0, oxFormatError::invalidParameter},
        {"unknown flag", fromArray | 0x100, "x", 0, oxFormatError::invalidParameter},
    };
    const std::uintptr_t args[] = {p("a"), p("b"), p("c")};
    for (const FailureCase& c : cases) {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        oxFormatError error = oxFormatError::none;
        const std::uint32_t n =
            oxFormatMessageArray(c.flags, c.text, buffer, sizeof buffer, c.count, args, &error);
        EXPECT_EQ(error, c.error) << c.name;
        if (c.error != oxFormatError::none) {
            EXPECT_EQ(n, 0u) << c.name;
            EXPECT_STREQ(buffer, "") << c.name;
        }
    }
}

TEST(oxFormatMessage, RefusedArgumentsAndBuffers) {
    char buffer[16] = "unchanged";
    const std::uintptr_t one[] = {p("a")};
    EXPECT_EQ(oxFormatMessageArray(fromArray, nullptr, buffer, 16, 0, nullptr), 0u);
    EXPECT_EQ(oxFormatMessageArray(fromArray, "x", nullptr, 16, 0, nullptr), 0u);
    std::strcpy(buffer, "unchanged");
    EXPECT_EQ(oxFormatMessageArray(fromArray, "x", buffer, 0, 0, nullptr), 0u);
    EXPECT_STREQ(buffer, "unchanged") << "a zero size writes nothing";
    EXPECT_EQ(oxFormatMessageArray(fromArray, "%1", buffer, 16, 1, nullptr), 0u);
    EXPECT_EQ(oxFormatMessageArray(fromArray, "%1", buffer, 16, 1, one), 1u);
    // The list form refuses the array flag and a missing list.
    va_list* none = nullptr;
    oxFormatError error = oxFormatError::none;
    EXPECT_EQ(oxFormatMessageV(fromArray, "x", buffer, 16, 0, none, &error), 0u);
    EXPECT_EQ(error, oxFormatError::invalidParameter);
    EXPECT_EQ(oxFormatMessageV(fromString, "%1", buffer, 16, 1, none, &error), 0u);
    EXPECT_EQ(error, oxFormatError::missingInsert);
    EXPECT_EQ(oxFormatMessageV(fromString, "no inserts", buffer, 16, 0, none, &error), 10u);
    EXPECT_STREQ(buffer, "no inserts");
}

TEST(oxFormatMessage, OutputNeverPassesTheBuffer) {
    // "abc-12345-xyz" is 13 characters: it needs 14 bytes.
    const char* text = "abc-%1!lu!-%2";
    for (std::uint32_t size = 1; size <= 20; ++size) {
        const Formatted f = viaArray(text, {12345u, p("xyz")}, size);
        if (size >= 14) {
            EXPECT_EQ(f.result, 13u) << size;
            EXPECT_EQ(f.text, "abc-12345-xyz") << size;
        } else {
            EXPECT_EQ(f.result, 0u) << size;
            EXPECT_EQ(f.error, oxFormatError::insufficientBuffer) << size;
            EXPECT_EQ(f.text, std::string("abc-12345-xyz").substr(0, size - 1)) << size;
        }
    }
}

TEST(oxFormatMessage, LongInsertIsCutAtTheEnd) {
    const std::string longText(600, 'w');
    const Formatted f = viaArray(">%1", {p(longText.c_str())}, 512);
    EXPECT_EQ(f.result, 0u);
    EXPECT_EQ(f.error, oxFormatError::insufficientBuffer);
    EXPECT_EQ(f.text, ">" + longText.substr(0, 510));
    const Formatted wide = viaArray("%1!700lu!", {1u}, 512);
    EXPECT_EQ(wide.error, oxFormatError::insufficientBuffer);
    EXPECT_EQ(wide.text.size(), 511u);
}

} // namespace
