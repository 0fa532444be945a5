// Insert-style message formatting: FormatMessageA with FORMAT_MESSAGE_FROM_STRING, written
// portably as plain string processing.
//
// A text holds inserts %1 to %99 (two digits at most: "%100" is insert 10, then "0"), each
// optionally followed by a printf type between exclamation marks: "%1!s!", "%2!lu!",
// "%3!-10s!", "%4!5lu!", "%5!I64u!". Without a type an insert is a text (!s!). As on Windows,
// "l" is 32 bits; "ll" and "I64" read 64 bits, "I" a pointer-sized value. Types: d i u x X o c
// s p with the flags "-+ #0", a width and a precision. Not supported, and failing with
// invalidParameter: '*' widths, wide texts (S, ls, ws, C, lc), floating point.
//
// Escapes: %0 ends the output (nothing is added), %n a line feed, %r a carriage return, %t a
// tab, and '%' before any other character gives that character (%%, "% ", %., %!). A '%' at
// the very end is invalid. On this platform %n writes a single LF, not Windows' CR LF.
// Line breaks written in the text are copied as they are; with the width byte set to the mask
// (0xFF) each one (CR LF, LF or CR) becomes a space. Other widths are not supported.
//
// The result is the number of characters written, terminator not counted, or 0 on failure
// (an empty result also reads 0, as with the Windows call). Nothing is ever written past
// buffer[size - 1]: when the output does not fit, the buffer holds as much as fits, cut at its
// end and terminated, and the call fails with insufficientBuffer. On any other failure the
// buffer holds an empty text.
#pragma once
#include <cstdarg>
#include <cstdint>

enum class oxFormatError : std::uint8_t {
    none,
    invalidParameter,   // bad flags, null text or buffer, zero size, malformed insert or escape
    missingInsert,      // the text names an insert beyond the number given
    insufficientBuffer, // the output did not fit; the buffer holds it cut
};

namespace oxFormatFlag {
constexpr std::uint32_t maxWidthMask = 0x000000FF;
constexpr std::uint32_t ignoreInserts = 0x00000200;
constexpr std::uint32_t fromString = 0x00000400;
constexpr std::uint32_t argumentArray = 0x00002000;
} // namespace oxFormatFlag

// Inserts from a va_list. count is the number of inserts the caller supplied: a text naming
// a higher insert fails with missingInsert before anything is read. The text is parsed first;
// then the inserts 1 to the highest named are read in order, each with the type of its first
// use (an insert the text skips is read as a pointer-sized value). An insert named twice shows
// the same argument. fromString is required; argumentArray is refused here.
std::uint32_t oxFormatMessageV(std::uint32_t flags, const char* text, char* buffer,
                               std::uint32_t size, std::uint32_t count, va_list* arguments,
                               oxFormatError* error = nullptr) noexcept;

// Inserts from an array of count pointer-sized values (FORMAT_MESSAGE_ARGUMENT_ARRAY): a text
// is a pointer stored in its element, a 32-bit number its low half. fromString is required;
// argumentArray may be given or not.
std::uint32_t oxFormatMessageArray(std::uint32_t flags, const char* text, char* buffer,
                                   std::uint32_t size, std::uint32_t count,
                                   const std::uintptr_t* arguments,
                                   oxFormatError* error = nullptr) noexcept;
