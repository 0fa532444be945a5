// Module loading with the Windows search order over dlopen.
#include "platform/oxpModule.h"
#include "platform/oxpMemory.h"
#include "platform/oxpModuleEntry.h"
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

std::mutex programDirectoryLock;
std::string& programDirectoryOverride() {
    static std::string* dir = new std::string; // never destroyed, as the module table
    return *dir;
}

std::string programDirectory() {
    {
        std::lock_guard<std::mutex> hold(programDirectoryLock);
        if (!programDirectoryOverride().empty())
            return programDirectoryOverride();
    }
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return {};
    std::string path(exe, static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/'));
}

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

// LoadLibrary's default extension: "name" means "name.dll"; a trailing dot means none.
std::string withDefaultExtension(std::string name) {
    std::string base = oxp::baseName(name);
    if (!base.empty() && base.back() == '.')
        name.pop_back();
    else if (base.find('.') == std::string::npos)
        name += ".dll";
    return name;
}

// The plain file name names in folder, matched case-insensitively; empty when none.
std::string fileIn(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return {};
    std::string path = oxp::resolveHostPath(folder + "/" + name);
    return isPlainFile(path) ? absolutePath(path) : std::string();
}

// What to hand to dlopen: an absolute path, or the bare name for the system's search.
std::string locate(const char* requested) {
    std::string name = withDefaultExtension(oxp::hostPath(requested));
    if (oxp::hasSeparator(requested)) {
        std::string path = oxp::resolveHostPath(name);
        return isPlainFile(path) ? absolutePath(path) : std::string();
    }
    std::string found = oxp::ModuleTable::instance().pathOfName(name);
    if (found.empty())
        found = fileIn(programDirectory(), name);
    if (found.empty())
        found = fileIn(".", name);
    return found.empty() ? name : found;
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

namespace oxp {

ModuleHandle loadModule(const char* name) noexcept {
    if (!name || !*name)
        return 0;
    try {
        std::string file = locate(name);
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

std::string moduleFileName(ModuleHandle module) { return ModuleTable::instance().path(module); }

// Threads send no notifications to modules here, so there is nothing to switch off.
bool disableThreadLibraryCalls(ModuleHandle) noexcept { return true; }

namespace seam {
void setProgramDirectory(const char* dir) {
    std::lock_guard<std::mutex> hold(programDirectoryLock);
    programDirectoryOverride() = hostPath(dir);
}
} // namespace seam

} // namespace oxp
