// Finding a module's file: the search order, the default extension and the program-directory
// seam are portable (oxpModule.cpp); each backend supplies its system's file and name calls.
#pragma once
#include <string>

namespace oxp::modulefile {

// What to hand to the system's loader for a requested name: a full path, or a bare name for the
// system's own search; empty when a name with a separator names no plain file. Portable.
std::string locate(const char* requested);

// LoadLibraryA's default extension: "name" means "name.dll"; a trailing dot means none.
// Portable.
std::string withDefaultExtension(std::string name);

// The backend's half. The folder of the running program's file; empty when unknown.
std::string programFolder();
// The full path of the plain file a host path names (any case, as Windows matches names), its
// name spelt as on disk; empty when there is none.
std::string existingFile(const std::string& path);
// The name the system's own search gets for a bare name nothing above found.
std::string systemSearchName(const char* requested);

} // namespace oxp::modulefile
