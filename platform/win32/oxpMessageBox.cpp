// The default box on Windows: a real modal MessageBoxA with no owner window.
#include "platform/oxpMessageBoxDefault.h"
#include <windows.h>

namespace oxp::box {

int presentByDefault(const char* text, const char* title, std::uint32_t style) {
    return MessageBoxA(nullptr, text, title, style);
}

} // namespace oxp::box
