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
// With ignoreInserts no argument is read: every insert sequence ("%1", "%2!lu!", "%3!*s!", its
// "!...!" part taken up to the next '!') and every other '%' pair ("%%", "% ", "%.", "%!") is
// copied as written; only %0, %n, %r and %t act, and a '%' at the very end is still invalid.
//
// Each insert is read once, so all uses of one insert must read the same kind of argument:
// a text (s, hs, or no type), a 32-bit number (c d i u x X o, also with h, hh, l or I32), a
// 64-bit number (ll, I64) or a pointer-sized one (I, p; its own kind because its width depends
// on the platform). Uses that differ only in flags, width, precision or conversion of the same
// kind agree ("%1!d! %1!08x!"); any other mix ("%1!c!%1", "%1!lu!%1!I64u!") fails with
// conflictingInsert before anything is read. A caller that names the kind of each argument it
// passes (kinds, one per insert) also has each used insert checked against it: a form of
// another kind fails with mismatchedInsert, so a text that reads a number as a text pointer
// cannot be formatted. A mismatch is also an argument array asked for a 64-bit number where
// its elements are narrower.
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
    conflictingInsert,  // one insert named with forms that read different kinds of argument
    mismatchedInsert,   // an insert's form reads another kind than the argument given
};

// The kind of argument an insert form reads, and that a caller says it passes.
enum class oxInsertKind : std::uint8_t { number32, number64, pointer, text };

namespace oxFormatFlag {
constexpr std::uint32_t maxWidthMask = 0x000000FF;
constexpr std::uint32_t ignoreInserts = 0x00000200;
constexpr std::uint32_t fromString = 0x00000400;
constexpr std::uint32_t argumentArray = 0x00002000;
} // namespace oxFormatFlag

// Inserts from a va_list. count is the number of inserts the caller supplied: a text naming
// a higher insert fails with missingInsert before anything is read. The text is parsed first;
// then the inserts 1 to the highest named are read in order, each as the kind the caller gives
// in kinds, or without kinds as the kind its form reads (an insert the text skips as a
// pointer-sized value). An insert named twice shows the same argument. fromString is
// required; argumentArray is refused here.
std::uint32_t oxFormatMessageV(std::uint32_t flags, const char* text, char* buffer,
                               std::uint32_t size, std::uint32_t count, va_list* arguments,
                               oxFormatError* error = nullptr,
                               const oxInsertKind* kinds = nullptr) noexcept;

// Inserts from an array of count pointer-sized values (FORMAT_MESSAGE_ARGUMENT_ARRAY): a text
// is a pointer stored in its element, a 32-bit number its low half. fromString is required;
// argumentArray may be given or not.
std::uint32_t oxFormatMessageArray(std::uint32_t flags, const char* text, char* buffer,
                                   std::uint32_t size, std::uint32_t count,
                                   const std::uintptr_t* arguments, oxFormatError* error = nullptr,
                                   const oxInsertKind* kinds = nullptr) noexcept;
