// Version blocks of module files, read without loading the module.
#pragma once
#include <cstdint>

namespace oxp {

// VS_FIXEDFILEINFO, as "\" of a version block answers it.
struct FixedFileInfo {
    std::uint32_t signature;        // 0xFEEF04BD
    std::uint32_t structVersion;    // 0x00010000
    std::uint32_t fileVersionMS;    // major << 16 | minor
    std::uint32_t fileVersionLS;    // build << 16 | revision
    std::uint32_t productVersionMS;
    std::uint32_t productVersionLS;
    std::uint32_t fileFlagsMask;
    std::uint32_t fileFlags;
    std::uint32_t fileOS;           // VOS_NT_WINDOWS32 = 0x00040004
    std::uint32_t fileType;         // VFT_APP = 1, VFT_DLL = 2
    std::uint32_t fileSubtype;
    std::uint32_t fileDateMS;
    std::uint32_t fileDateLS;
};

// GetFileVersionInfoSizeA: bytes needed for the file's version block; 0 when the file has
// none, cannot be read or is malformed. The module's code never runs.
std::uint32_t getFileVersionInfoSize(const char* file) noexcept;

// GetFileVersionInfoA: copies the block into buffer (size bytes); false on failure.
bool getFileVersionInfo(const char* file, std::uint32_t size, void* buffer) noexcept;

// VerQueryValueA on a block filled by getFileVersionInfo. "\" answers the FixedFileInfo;
// "\Block\Sub\Key" answers a string value (NUL-terminated, length counts characters and
// terminator). Path matching is case-insensitive. False when there is no such value.
bool verQueryValue(const void* block, const char* path, const void** value,
                   std::uint32_t* length) noexcept;

// The index-th string value of a block filled by getFileVersionInfo, in declaration order
// (Windows programs walk the raw block for this; here the layout is the platform's own).
// False past the last value.
bool versionValueAt(const void* block, std::uint32_t index, const char** path,
                    const char** value) noexcept;

} // namespace oxp
