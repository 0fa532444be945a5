// The process-wide table of loaded modules, shared by both backends.
#include "platform/oxpModuleTable.h"
#include "platform/oxpPath.h"

namespace oxp {

ModuleTable& ModuleTable::instance() {
    // Never destroyed: modules may free themselves from static destructors at exit.
    static ModuleTable* table = new ModuleTable;
    return *table;
}

ModuleHandle ModuleTable::findLibrary(void* library) const {
    for (const auto& [handle, record] : records_)
        if (record.library == library)
            return handle;
    return 0;
}

ModuleHandle ModuleTable::nextHandle() {
    // Small numbers, never 0, never one in use (after 2^32 loads the count wraps).
    while (next_ == 0 || records_.count(next_))
        ++next_;
    return next_++;
}

ModuleHandle ModuleTable::addReference(void* library) {
    std::lock_guard<std::mutex> hold(lock_);
    ModuleHandle handle = findLibrary(library);
    if (handle)
        ++records_[handle].references;
    return handle;
}

ModuleHandle ModuleTable::insert(void* library, const std::string& path, StringTable strings) {
    std::lock_guard<std::mutex> hold(lock_);
    if (ModuleHandle handle = findLibrary(library)) {
        ++records_[handle].references;
        return handle;
    }
    ModuleHandle handle = nextHandle();
    records_.emplace(handle, Record{library, path, 1, std::move(strings)});
    return handle;
}

ModuleHandle ModuleTable::reserve(void* library, const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (ModuleHandle handle = findLibrary(library))
        return handle;
    ModuleHandle handle = nextHandle();
    records_.emplace(handle, Record{library, path, 0, {}});
    return handle;
}

void ModuleTable::forgetUnreferenced(void* library) {
    std::lock_guard<std::mutex> hold(lock_);
    ModuleHandle handle = findLibrary(library);
    if (handle && records_[handle].references == 0)
        records_.erase(handle);
}

void* ModuleTable::library(ModuleHandle module) const {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = records_.find(module);
    return it == records_.end() ? nullptr : it->second.library;
}

bool ModuleTable::dropReference(ModuleHandle module, void*& library) {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = records_.find(module);
    if (it == records_.end())
        return false;
    library = it->second.library;
    if (--it->second.references == 0)
        records_.erase(it);
    return true;
}

std::string ModuleTable::pathOfName(const std::string& name) const {
    std::lock_guard<std::mutex> hold(lock_);
    // The lowest handle wins, so the answer does not depend on the map's order.
    ModuleHandle best = 0;
    for (const auto& [handle, record] : records_)
        if (sameNameNoCase(baseName(record.path), name) && (best == 0 || handle < best))
            best = handle;
    return best ? records_.at(best).path : std::string();
}

std::string ModuleTable::path(ModuleHandle module) const {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = records_.find(module);
    return it == records_.end() ? std::string() : it->second.path;
}

bool ModuleTable::text(ModuleHandle module, std::uint32_t id, std::string& out) const {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = records_.find(module);
    if (it == records_.end())
        return false;
    auto found = it->second.strings.find(id);
    if (found == it->second.strings.end())
        return false;
    out = found->second;
    return true;
}

} // namespace oxp
