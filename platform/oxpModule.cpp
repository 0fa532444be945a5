// Module loading the same on every system: where a module's file is found (an already loaded
// module of that name, the host program's directory, the current directory, then the system's
// search), and the handles the table gives the libraries the backend opens and closes.
#include "platform/oxpModule.h"
#include "platform/oxpMemory.h"
#include "platform/oxpModuleFile.h"
#include "platform/oxpModuleLibrary.h"
#include "platform/oxpModuleTable.h"
#include "platform/oxpPath.h"
#include <mutex>

namespace {

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
    return oxp::modulefile::programFolder();
}

// The plain file name names in folder, matched case-insensitively; empty when none. Both
// systems take '/' between folder and name.
std::string fileIn(const std::string& folder, const std::string& name) {
    return folder.empty() ? std::string() : oxp::modulefile::existingFile(folder + "/" + name);
}

} // namespace

namespace oxp {

namespace modulefile {

std::string withDefaultExtension(std::string name) {
    std::string base = baseName(name);
    if (!base.empty() && base.back() == '.')
        name.pop_back();
    else if (base.find('.') == std::string::npos)
        name += ".dll";
    return name;
}

std::string locate(const char* requested) {
    std::string name = withDefaultExtension(requested);
    if (hasSeparator(requested))
        return existingFile(hostPath(name.c_str()));
    std::string found = ModuleTable::instance().pathOfName(name);
    if (found.empty())
        found = fileIn(programDirectory(), name);
    if (found.empty())
        found = fileIn(".", name);
    return found.empty() ? systemSearchName(requested) : found;
}

} // namespace modulefile

ModuleHandle loadModule(const char* name) noexcept {
    if (!name || !*name)
        return 0;
    try {
        std::string file = modulefile::locate(name);
        if (file.empty())
            return 0;
        // Not under the table's lock: the module's static constructors may load modules.
        const modulelibrary::Opened opened = modulelibrary::open(file);
        if (!opened.library) {
            if (opened.forWantOfMemory)
                noteMemoryShortage();
            return 0;
        }
        ModuleTable& table = ModuleTable::instance();
        if (ModuleHandle known = table.addReference(opened.library))
            return known;
        try {
            std::string path = modulelibrary::fullPath(opened.library, file);
            return table.insert(opened.library, path, modulelibrary::strings(path));
        } catch (...) {
            modulelibrary::close(opened.library); // no handle names it: nothing could free it
            return 0;
        }
    } catch (...) {
        return 0;
    }
}

void* findSymbol(ModuleHandle module, const char* symbol) noexcept {
    if (!symbol)
        return nullptr;
    return ModuleTable::instance().withLibrary(module, [symbol](void* library) -> void* {
        return library ? modulelibrary::symbol(library, symbol) : nullptr;
    });
}

bool freeModule(ModuleHandle module) noexcept {
    void* library = nullptr;
    if (!ModuleTable::instance().dropReference(module, library))
        return false;
    // Not under the lock: the module's detach and static destructors may free modules.
    modulelibrary::close(library);
    return true;
}

std::string moduleFileName(ModuleHandle module) { return ModuleTable::instance().path(module); }

namespace seam {
void setProgramDirectory(const char* dir) {
    std::lock_guard<std::mutex> hold(programDirectoryLock);
    programDirectoryOverride() = hostPath(dir);
}
} // namespace seam

} // namespace oxp
