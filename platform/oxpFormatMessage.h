// Insert-style message formatting by the system: FormatMessageA with
// FORMAT_MESSAGE_FROM_STRING. Windows writes CR LF for %n and for each line break of the text.
// POSIX has no such formatter: there both calls fail (0) and hosts keep the text of the
// framework's portable formatter, which writes LF.
#pragma once
#include <cstdarg>
#include <cstdint>

namespace oxp {

// FormatMessageA(flags | FORMAT_MESSAGE_FROM_STRING, text, 0, 0, buffer, size, arguments):
// characters written without the terminator, 0 on failure.
std::uint32_t formatMessage(std::uint32_t flags, const char* text, char* buffer,
                            std::uint32_t size, va_list* arguments) noexcept;
// The same with FORMAT_MESSAGE_ARGUMENT_ARRAY: arguments is an array of pointer-sized values.
std::uint32_t formatMessageArray(std::uint32_t flags, const char* text, char* buffer,
                                 std::uint32_t size, const std::uintptr_t* arguments) noexcept;

} // namespace oxp
