// Entries of a resource section that the declaration macros of oxpResource.h wrote.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace oxp::resource {

using Entry = std::pair<std::string, std::string>; // path or number, value or text
using Entries = std::vector<Entry>;

constexpr const char* versionSection = ".oxversion";
constexpr const char* stringSection = ".oxstrings";

// Splits a section's bytes: magic NUL, format NUL, then key NUL value NUL pairs up to an
// empty key (or the end of the bytes). False when the magic or format is wrong or a key has
// no value. Bytes after the closing empty key are ignored.
bool parseEntries(const std::string& bytes, const char* magic, Entries& entries);

// Reads and splits the named section of a module file; false when it has none.
bool readEntries(const std::string& file, const char* section, const char* magic,
                 Entries& entries);

// A number written in decimal or 0x-hex, at most limit; false for anything else.
bool parseNumber(const std::string& text, unsigned long long limit, unsigned long long& value);

} // namespace oxp::resource
