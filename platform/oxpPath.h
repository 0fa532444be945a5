// Windows-style paths on the host file system: '\' and '/' both separate.
#pragma once
#include <string>

namespace oxp {

// Turns a Windows-style path ("..\oxLng.dll", "dir\osComp.grp") into the host's form.
std::string hostPath(const char* windowsPath);

// True when the name holds a separator of either kind.
bool hasSeparator(const char* name) noexcept;

} // namespace oxp
