// The backend's half of module loading: open a located file, look a symbol up, close. The checks,
// the table of handles and its lock are portable (oxpModule.cpp), so every system counts alike.
#pragma once
#include "platform/oxpModuleTable.h"
#include <string>

namespace oxp::modulelibrary {

struct Opened {
    void* library = nullptr;      // null when the file gave no module
    bool forWantOfMemory = false; // the failure was the system's shortage of memory
};

// Opens the file modulefile::locate() answered and runs the module's attach; a module whose
// attach fails is closed again. Opening a file again answers the same library, as the system's
// loader counts references itself.
Opened open(const std::string& file) noexcept;
// The full path to record for a library first opened from file.
std::string fullPath(void* library, const std::string& file);
// The string table to record for a library first opened from the file at path.
StringTable strings(const std::string& path);
// The address of an exported symbol; null when there is none.
void* symbol(void* library, const char* name) noexcept;
// Drops the reference one open() gave; the last runs the module's detach.
void close(void* library) noexcept;

} // namespace oxp::modulelibrary
