// Version blocks through GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA; the
// values are listed by walking the VS_VERSIONINFO tree the system hands back.
#include "platform/oxpVersion.h"
#include "platform/oxpVersionInfo.h"
#include <cstring>
#include <string>
#include <windows.h>

namespace oxp {

std::uint32_t getFileVersionInfoSize(const char* file) noexcept {
    DWORD ignored = 0;
    return file && *file ? GetFileVersionInfoSizeA(file, &ignored) : 0;
}

bool getFileVersionInfo(const char* file, std::uint32_t size, void* buffer) noexcept {
    // GetFileVersionInfoA cuts the block to the buffer; a cut block is no block here.
    return file && *file && buffer && size >= getFileVersionInfoSize(file) &&
           GetFileVersionInfoA(file, 0, size, buffer);
}

bool verQueryValue(const void* block, const char* path, const void** value,
                   std::uint32_t* length) noexcept {
    if (!block || !path || !value)
        return false;
    void* found = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block, path, &found, &size) || !found)
        return false;
    // The root's value is the fixed part only when the block has one.
    if (std::strcmp(path, "\\") == 0 &&
        (size < sizeof(FixedFileInfo) ||
         static_cast<const FixedFileInfo*>(found)->signature != 0xFEEF04BD))
        return false;
    *value = found;
    if (length)
        *length = size;
    return true;
}

bool versionValueAt(const void* block, std::uint32_t index, const char** path,
                    const char** value) noexcept {
    if (!block)
        return false;
    try {
        // The path answered stays valid until this thread's next call.
        thread_local std::string found;
        const auto* bytes = static_cast<const unsigned char*>(block);
        const std::size_t size = bytes[0] | bytes[1] << 8; // the root's wLength
        bool hasFixed = false;
        FixedFileInfo fixed{};
        versioninfo::Values values;
        const void* text = nullptr;
        if (!versioninfo::parse(std::string(reinterpret_cast<const char*>(bytes), size), hasFixed,
                                fixed, values) ||
            index >= values.size())
            return false;
        found = values[index].first;
        if (!verQueryValue(block, found.c_str(), &text, nullptr))
            return false;
        if (path)
            *path = found.c_str();
        if (value)
            *value = static_cast<const char*>(text);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace oxp
