// Reads one named section of an ELF file straight from the file, without loading it.
#pragma once
#include <string>

namespace oxp::elf {

// Largest section read; anything bigger is taken as malformed.
constexpr std::size_t maxSectionSize = 16u << 20;

// How a search ended. Callers try another spelling of the path when the file did not open, and
// another format when it holds no ELF identification.
enum class Search { found, absent, notElf, notOpened };

// The bytes of the section called name in the host file, 32- or 64-bit, either byte order.
// absent when the file is truncated or malformed, or has no such section with contents.
// Never reads past the end of the file. One open, one to three reads, one close in the common
// case.
Search findSection(const std::string& file, const char* name, std::string& contents);

// findSection, found or not.
bool readSection(const std::string& file, const char* name, std::string& contents);

} // namespace oxp::elf
