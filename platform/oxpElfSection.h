// Reads one named section of an ELF file straight from the file, without loading it.
#pragma once
#include <string>

namespace oxp::elf {

// Largest section read; anything bigger is taken as malformed.
constexpr std::size_t maxSectionSize = 16u << 20;

// The bytes of the section called name in the host file, 32- or 64-bit, either byte order.
// False when the file cannot be read, is no ELF file, is truncated or malformed, or has no
// such section with contents. Never reads past the end of the file.
bool readSection(const std::string& file, const char* name, std::string& contents);

} // namespace oxp::elf
