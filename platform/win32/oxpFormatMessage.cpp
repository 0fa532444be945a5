// Insert-style formatting through FormatMessageA.
#include "platform/oxpFormatMessage.h"
#include <windows.h>

namespace oxp {

std::uint32_t formatMessage(std::uint32_t flags, const char* text, char* buffer,
                            std::uint32_t size, va_list* arguments) noexcept {
    if (!text || !buffer || size == 0)
        return 0;
    return FormatMessageA(flags | FORMAT_MESSAGE_FROM_STRING, text, 0, 0, buffer, size,
                          arguments);
}

std::uint32_t formatMessageArray(std::uint32_t flags, const char* text, char* buffer,
                                 std::uint32_t size, const std::uintptr_t* arguments) noexcept {
    if (!text || !buffer || size == 0)
        return 0;
    // The argument array is passed where the va_list pointer goes, as the flag asks.
    return FormatMessageA(flags | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                          text, 0, 0, buffer, size,
                          reinterpret_cast<va_list*>(const_cast<std::uintptr_t*>(arguments)));
}

} // namespace oxp
