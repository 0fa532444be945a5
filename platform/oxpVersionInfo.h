// VS_VERSIONINFO, the binary version block of a PE module's RT_VERSION resource: found in a PE
// file and walked into its fixed part and string values, without Windows calls, so every host
// can read the version block of a Windows module file.
#pragma once
#include "platform/oxpVersion.h"
#include <string>
#include <utility>
#include <vector>

namespace oxp::versioninfo {

// Paths ("\StringFileInfo\040904e4\FileVersion") and their values, in the block's order.
using Values = std::vector<std::pair<std::string, std::string>>;

// The bytes of the first RT_VERSION resource of a PE file (32- or 64-bit). False when the file
// cannot be read, is no PE file, is malformed or has no version resource. Never reads past the
// end of the file.
bool readPeVersionResource(const std::string& file, std::string& bytes);

// Walks a VS_VERSIONINFO block: the fixed part when it has one, and every string value
// (texts as UTF-8). False when the block is malformed.
bool parse(const std::string& bytes, bool& hasFixed, FixedFileInfo& fixed, Values& values);

} // namespace oxp::versioninfo
