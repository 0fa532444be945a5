// Module loading's dlopen half (a module's entry may refuse its attach; string tables are read
// from the file), and the files and names the portable search order asks for.
#include "platform/oxpModule.h"
#include "platform/oxpModuleEntry.h"
#include "platform/oxpModuleFile.h"
#include "platform/oxpModuleLibrary.h"
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

// The loader's texts for an mmap or allocation that failed (ENOMEM under an address-space limit).
bool failedForWantOfMemory(const char* why) noexcept {
    return why && (std::strstr(why, "allocate memory") || std::strstr(why, "map segment"));
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

namespace oxp::modulelibrary {

Opened open(const std::string& file) noexcept {
    // A load nested in the module's static constructors keeps its own refusal apart from this one.
    const bool outer = std::exchange(attachRefused, false);
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    const bool refused = std::exchange(attachRefused, outer);
    if (!library)
        return {nullptr, failedForWantOfMemory(dlerror())};
    if (refused) {
        dlclose(library); // runs the module's detach
        return {};
    }
    return {library, false};
}

// The full path of an opened library (the system's search tells where it found it).
std::string fullPath(void* library, const std::string& file) {
    if (file.find('/') != std::string::npos)
        return file;
    link_map* map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name || !*map->l_name)
        return file;
    std::string path = absolutePath(map->l_name);
    return path.empty() ? std::string(map->l_name) : path;
}

StringTable strings(const std::string& path) {
    StringTable table;
    resource::Entries entries;
    if (!resource::readEntries(path, resource::stringSection, OX_STRINGS_MAGIC, entries))
        return table;
    for (const auto& [number, text] : entries) {
        unsigned long long id = 0;
        // A table with an entry that is no number is malformed and counts as none.
        if (!resource::parseNumber(number, UINT32_MAX, id))
            return {};
        table.emplace(static_cast<std::uint32_t>(id), text); // the first of a number wins
    }
    return table;
}

void* symbol(void* library, const char* name) noexcept { return dlsym(library, name); }

void close(void* library) noexcept { dlclose(library); }

} // namespace oxp::modulelibrary

namespace oxp {

void refuseModuleAttach() noexcept { attachRefused = true; }

// Threads send no notifications to modules here, so there is nothing to switch off.
bool disableThreadLibraryCalls(ModuleHandle) noexcept { return true; }

} // namespace oxp
