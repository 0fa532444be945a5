// Windows-style paths on the host file system: '\' and '/' both separate.
#pragma once
#include <string>

namespace oxp {

// Turns a Windows-style path ("..\oxLng.dll", "dir\osComp.grp") into the host's form.
std::string hostPath(const char* windowsPath);

// True when the name holds a separator of either kind.
bool hasSeparator(const char* name) noexcept;

// The existing host file or folder a host path names. Each part that does not exist as
// written is matched case-insensitively within its folder, as Windows matches names (the
// first in byte order when several differ only in case). Parts that match nothing are kept
// as written, so the result then names no file.
std::string resolveHostPath(const std::string& hostPath);

// The last part of a path of either kind ("osComp.dll" for "..\\dir/osComp.dll").
std::string baseName(const std::string& path);

// Case-insensitive equality of two names (ASCII letters fold, as Windows folds ANSI names).
bool sameNameNoCase(const std::string& a, const std::string& b) noexcept;

} // namespace oxp
