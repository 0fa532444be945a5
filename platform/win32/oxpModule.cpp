// Module loading's LoadLibraryA, GetProcAddress and FreeLibrary half, a module's DllMain entry,
// and the files and names the portable search order asks for.
#include "platform/oxpModule.h"
#include "platform/oxpModuleEntry.h"
#include "platform/oxpModuleFile.h"
#include "platform/oxpModuleLibrary.h"
#include "platform/oxpModuleTable.h"
#include <string>
#include <windows.h>

namespace {

std::string fileNameOf(HMODULE module) {
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    return n == 0 || n >= sizeof path ? std::string() : std::string(path, n);
}

bool isPlainFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string absolutePath(const std::string& path) {
    char full[MAX_PATH + 1];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n == 0 || n >= sizeof full ? std::string() : std::string(full, n);
}

} // namespace

namespace oxp::modulefile {

std::string programFolder() {
    std::string exe = fileNameOf(nullptr);
    std::size_t last = exe.find_last_of("\\/");
    return last == std::string::npos ? std::string() : exe.substr(0, last);
}

std::string existingFile(const std::string& path) {
    WIN32_FIND_DATAA found{};
    if (!isPlainFile(path))
        return {};
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    FindClose(search);
    std::string full = absolutePath(path);
    std::size_t last = full.find_last_of("\\/");
    return last == std::string::npos ? full : full.substr(0, last + 1) + found.cFileName;
}

// LoadLibraryA applies the default extension itself, so it gets the name as given ("x." must
// keep its dot there).
std::string systemSearchName(const char* requested) { return requested; }

} // namespace oxp::modulefile

namespace oxp::modulelibrary {

Opened open(const std::string& file) noexcept {
    // No error boxes for a file that is no module: the caller answers with a status.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = LoadLibraryA(file.c_str());
    DWORD error = GetLastError();
    SetErrorMode(previousMode);
    return {library, !library && (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY)};
}

std::string fullPath(void* library, const std::string&) {
    return fileNameOf(static_cast<HMODULE>(library));
}

// LoadStringA reads the module's own resources while it is loaded: nothing to keep.
StringTable strings(const std::string&) { return {}; }

void* symbol(void* library, const char* name) noexcept {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void close(void* library) noexcept { FreeLibrary(static_cast<HMODULE>(library)); }

} // namespace oxp::modulelibrary

namespace oxp {

bool runModuleEntry(void* instance, ModuleEvent event, ModuleEntry entry) noexcept {
    try {
        ModuleTable& table = ModuleTable::instance();
        ModuleHandle self = table.reserve(instance, fileNameOf(static_cast<HMODULE>(instance)));
        bool answer = entry(self, event);
        if (event == ModuleEvent::processDetach || !answer)
            table.forgetUnreferenced(instance);
        return answer;
    } catch (...) {
        return false;
    }
}

// Windows refuses the switch for a module with static thread-local storage (every mingw-w64
// module has some): it then keeps its thread notifications, which its entry ignores, so only an
// unknown module is a failure.
bool disableThreadLibraryCalls(ModuleHandle module) noexcept {
    void* library = ModuleTable::instance().library(module);
    if (library)
        DisableThreadLibraryCalls(static_cast<HMODULE>(library));
    return library != nullptr;
}

} // namespace oxp
