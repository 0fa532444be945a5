// ANSI code page and UTF-16 conversions with the Windows calls' semantics.
#pragma once
#include <cstdint>

namespace oxp {

constexpr std::uint32_t cpAcp = 0;      // CP_ACP: the active code page
constexpr std::uint32_t cpUtf8 = 65001; // CP_UTF8
constexpr std::uint32_t mbPrecomposed = 0x1;
constexpr std::uint32_t mbUseGlyphChars = 0x8;

// GetACP: 1252 unless the host chose another.
std::uint32_t activeCodePage() noexcept;
// The host's choice of active code page (1252, 28591 and 65001 are known); false otherwise.
bool setActiveCodePage(std::uint32_t codePage) noexcept;

// MultiByteToWideChar. srcLength -1: convert up to and including the terminator. dstCount 0:
// return the units needed. Returns units written (or needed), 0 on failure (unknown code page,
// null source, destination too small, invalid UTF-8).
int multiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* src,
                        int srcLength, char16_t* dst, int dstCount) noexcept;

// WideCharToMultiByte. Same conventions; characters the code page cannot hold become
// defaultChar (or '?' when null) and set *usedDefault when given.
int wideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const char16_t* src,
                        int srcLength, char* dst, int dstCount, const char* defaultChar,
                        bool* usedDefault) noexcept;

} // namespace oxp
