// Loadable modules: load, symbol lookup, free.
#pragma once
#include <cstdint>
#include <string>

// Marks a module's exported functions (extern "C", undecorated names).
#ifdef _WIN32
#define OX_EXPORT __declspec(dllexport)
#else
#define OX_EXPORT __attribute__((visibility("default")))
#endif

namespace oxp {

// Opaque 32-bit module handle; 0 is no module.
using ModuleHandle = std::uint32_t;

// LoadLibraryA. A bare name is searched as Windows searches: an already loaded module of that
// name, the host program's directory, the current directory, then the system's search. A name
// with a separator is taken relative to the current directory. Loading the same file again
// gives the same handle and raises its reference count. As LoadLibraryA does, a name without
// extension gets ".dll" and a trailing dot means "no extension"; file names match in any case.
// 0 on failure.
ModuleHandle loadModule(const char* name) noexcept;

// GetProcAddress: null when the module or the symbol is unknown.
void* findSymbol(ModuleHandle module, const char* symbol) noexcept;

// FreeLibrary: drops one reference; the module is unloaded at the last. False for an
// unknown handle.
bool freeModule(ModuleHandle module) noexcept;

// GetModuleFileNameA: the full path of a loaded module; empty for an unknown handle.
std::string moduleFileName(ModuleHandle module);

// DisableThreadLibraryCalls. POSIX sends no thread notifications: accepted and ignored there.
bool disableThreadLibraryCalls(ModuleHandle module) noexcept;

namespace seam {
// Replace the host program's directory in the search order (tests run the same binary
// against several layouts). An empty text restores the real one.
void setProgramDirectory(const char* dir);
} // namespace seam

} // namespace oxp
