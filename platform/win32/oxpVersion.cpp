// Version blocks through GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA; the
// values are listed by walking the raw VS_VERSIONINFO tree the system hands back.
#include "platform/oxpVersion.h"
#include <cstring>
#include <string>
#include <windows.h>

namespace {

// One node of the tree: wLength, wValueLength, wType, then its UTF-16 key.
struct Node {
    std::uint16_t length;
    std::uint16_t valueLength;
    std::uint16_t type;
};

std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

// The key at offset as ASCII (the keys of a version block are); false when cut off.
bool keyAt(const unsigned char* bytes, std::size_t at, std::size_t end, std::string& key,
           std::size_t& after) {
    key.clear();
    for (; at + 2 <= end; at += 2) {
        std::uint16_t unit = static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
        if (unit == 0) {
            after = at + 2;
            return true;
        }
        key.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return false;
}

// Finds the index-th string value below the node at [at, end) in tree order; counts down index.
bool findValue(const unsigned char* bytes, std::size_t at, std::size_t end,
               const std::string& parent, std::uint32_t& index, std::string& path, int depth) {
    Node node{};
    if (depth > 8 || at + sizeof node > end)
        return false;
    std::memcpy(&node, bytes + at, sizeof node);
    std::size_t nodeEnd = at + node.length;
    std::string key;
    std::size_t after = 0;
    if (node.length < sizeof node || nodeEnd > end ||
        !keyAt(bytes, at + sizeof node, nodeEnd, key, after))
        return false;
    std::size_t child = align4(after) + align4(node.valueLength * (node.type == 1 ? 2u : 1u));
    std::string here = depth == 0 ? std::string() : parent + "\\" + key;
    if (depth > 1 && node.type == 1 && child >= nodeEnd) {
        if (index-- == 0) {
            path = here;
            return true;
        }
        return false;
    }
    for (std::size_t next = child; next + sizeof node <= nodeEnd;) {
        Node sub{};
        std::memcpy(&sub, bytes + next, sizeof sub);
        if (sub.length == 0)
            return false;
        if (findValue(bytes, next, nodeEnd, here, index, path, depth + 1))
            return true;
        next = align4(next + sub.length);
    }
    return false;
}

} // namespace

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
        Node root{};
        std::memcpy(&root, bytes, sizeof root);
        const void* text = nullptr;
        if (!findValue(bytes, 0, root.length, "", index, found, 0) ||
            !verQueryValue(block, found.c_str(), &text, nullptr))
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
