// String resources of loaded modules, read from the module file once at load.
#include "platform/oxpResource.h"
#include "platform/oxpModuleTable.h"
#include <cstring>

namespace oxp {

int loadString(ModuleHandle module, std::uint32_t id, char* buffer, int size) noexcept {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    try {
        std::string text;
        if (!ModuleTable::instance().text(module, id, text))
            return 0;
        std::size_t count = std::min(text.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
        return static_cast<int>(count);
    } catch (...) {
        return 0;
    }
}

} // namespace oxp
