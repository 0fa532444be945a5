// No system message formatter on POSIX: both calls fail, so callers keep their portable text.
#include "platform/oxpFormatMessage.h"

namespace oxp {

std::uint32_t formatMessage(std::uint32_t, const char*, char*, std::uint32_t, va_list*) noexcept {
    return 0;
}

std::uint32_t formatMessageArray(std::uint32_t, const char*, char*, std::uint32_t,
                                 const std::uintptr_t*) noexcept {
    return 0;
}

} // namespace oxp
