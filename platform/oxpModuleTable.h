// The process-wide table of loaded modules: handles, reference counts, cached string tables.
#pragma once
#include "platform/oxpModule.h"
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

namespace oxp {

using StringTable = std::map<std::uint32_t, std::string>;

// Every loadModule opens the library once more and every freeModule closes it once, so the
// loader's own count always matches the table's; the table only names libraries with small
// handles. The lock is never held while a library opens or closes, because a module's static
// constructors and destructors may load and free modules themselves.
class ModuleTable {
  public:
    static ModuleTable& instance();

    // The handle of an already registered library after adding a reference; 0 when none.
    ModuleHandle addReference(void* library);
    // Registers a library with one reference (or adds one when it got registered meanwhile).
    ModuleHandle insert(void* library, const std::string& path, StringTable strings);
    // The handle of a library whose entry runs before its load returns (Windows' DllMain),
    // registered without references when new; insert() later gives it its first.
    ModuleHandle reserve(void* library, const std::string& path);
    // Removes the record of a library that holds no reference (its load failed).
    void forgetUnreferenced(void* library);
    // Drops one reference; library receives what the caller must close. The record goes with
    // the last reference. False for an unknown handle.
    bool dropReference(ModuleHandle module, void*& library);

    // The path of the first loaded module whose file name equals name case-insensitively.
    std::string pathOfName(const std::string& name) const;
    std::string path(ModuleHandle module) const;
    // The library behind a handle; null when unknown.
    void* library(ModuleHandle module) const;
    // Runs use(library) under the lock, so the library stays open meanwhile.
    template <class Use> auto withLibrary(ModuleHandle module, Use use) const {
        std::lock_guard<std::mutex> hold(lock_);
        auto it = records_.find(module);
        return use(it == records_.end() ? nullptr : it->second.library);
    }
    // The text of string resource id; false when the module or the number is unknown.
    bool text(ModuleHandle module, std::uint32_t id, std::string& out) const;

  private:
    struct Record {
        void* library;
        std::string path;
        std::uint32_t references;
        StringTable strings;
    };
    ModuleHandle findLibrary(void* library) const;
    ModuleHandle nextHandle();

    mutable std::mutex lock_;
    std::unordered_map<ModuleHandle, Record> records_;
    ModuleHandle next_ = 1;
};

} // namespace oxp
