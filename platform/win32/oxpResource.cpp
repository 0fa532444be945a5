// String resources of loaded modules through LoadStringA.
#include "platform/oxpResource.h"
#include "platform/oxpModuleTable.h"
#include <windows.h>

namespace oxp {

int loadString(ModuleHandle module, std::uint32_t id, char* buffer, int size) noexcept {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    void* library = ModuleTable::instance().library(module);
    if (!library)
        return 0;
    return LoadStringA(static_cast<HINSTANCE>(library), id, buffer, size);
}

} // namespace oxp
