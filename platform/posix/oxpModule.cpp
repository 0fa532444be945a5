// Module loading over dlopen, and the files and names the portable search order asks for.
#include "platform/oxpModule.h"
#include "platform/oxpMemory.h"
#include "platform/oxpModuleEntry.h"
#include "platform/oxpModuleFile.h"
#include "platform/oxpModuleTable.h"
#include "platform/oxpPath.h"
#include "platform/oxpResource.h"
#include "platform/oxpResourceSection.h"
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Set by a module's entry that refuses its attach while this thread's dlopen runs it.
thread_local bool attachRefused = false;

bool isPlainFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string absolutePath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return {};
    std::string result = real;
    std::free(real);
    return result;
}

// The full path of an opened library (the system's search tells where it found it).
std::string libraryPath(void* library, const std::string& opened) {
    if (opened.find('/') != std::string::npos)
        return opened;
    link_map* map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name || !*map->l_name)
        return opened;
    std::string path = absolutePath(map->l_name);
    return path.empty() ? std::string(map->l_name) : path;
}

// The loader's texts for an mmap or allocation that failed (ENOMEM under an address-space limit).
bool failedForWantOfMemory(const char* why) noexcept {
    return why && (std::strstr(why, "allocate memory") || std::strstr(why, "map segment"));
}

oxp::StringTable readStrings(const std::string& path) {
    oxp::StringTable strings;
    oxp::resource::Entries entries;
    if (!oxp::resource::readEntries(path, oxp::resource::stringSection, OX_STRINGS_MAGIC, entries))
        return strings;
    for (const auto& [number, text] : entries) {
        unsigned long long id = 0;
        // A table with an entry that is no number is malformed and counts as none.
        if (!oxp::resource::parseNumber(number, UINT32_MAX, id))
            return {};
        strings.emplace(static_cast<std::uint32_t>(id), text); // the first of a number wins
    }
    return strings;
}

} // namespace

namespace oxp::modulefile {

std::string programFolder() {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return {};
    std::string path(exe, static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/'));
}

std::string existingFile(const std::string& path) {
    std::string resolved = resolveHostPath(path);
    return isPlainFile(resolved) ? absolutePath(resolved) : std::string();
}

// dlopen adds no extension of its own.
std::string systemSearchName(const char* requested) { return withDefaultExtension(requested); }

} // namespace oxp::modulefile

namespace oxp {

ModuleHandle loadModule(const char* name) noexcept {
    if (!name || !*name)
        return 0;
    try {
        std::string file = modulefile::locate(name);
        if (file.empty())
            return 0;
        // Not under the table's lock: the module's static constructors may load modules. A
        // load nested in them keeps its own refusal apart from this one.
        const bool outer = std::exchange(attachRefused, false);
        void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        const bool refused = std::exchange(attachRefused, outer);
        if (!library) {
            if (failedForWantOfMemory(dlerror()))
                noteMemoryShortage();
            return 0;
        }
        if (refused) {
            dlclose(library); // runs the module's detach
            return 0;
        }
        ModuleTable& table = ModuleTable::instance();
        if (ModuleHandle known = table.addReference(library))
            return known;
        std::string path = libraryPath(library, file);
        return table.insert(library, path, readStrings(path));
    } catch (...) {
        return 0;
    }
}

void* findSymbol(ModuleHandle module, const char* symbol) noexcept {
    if (!symbol)
        return nullptr;
    return ModuleTable::instance().withLibrary(module, [symbol](void* library) -> void* {
        return library ? dlsym(library, symbol) : nullptr;
    });
}

bool freeModule(ModuleHandle module) noexcept {
    void* library = nullptr;
    if (!ModuleTable::instance().dropReference(module, library))
        return false;
    // Not under the lock: the module's static destructors may free modules.
    dlclose(library);
    return true;
}

void refuseModuleAttach() noexcept { attachRefused = true; }

// Threads send no notifications to modules here, so there is nothing to switch off.
bool disableThreadLibraryCalls(ModuleHandle) noexcept { return true; }

} // namespace oxp
