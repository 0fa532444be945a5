// Reading a PE file's RT_VERSION resource and walking its VS_VERSIONINFO tree, portably.
#include "platform/oxpVersionInfo.h"
#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

constexpr std::size_t maxFileSize = 64u << 20;
constexpr std::uint32_t rtVersion = 16;

// Little-endian reads that fail instead of reading past the end.
struct Bytes {
    const std::string& data;
    bool u16(std::size_t at, std::uint32_t& v) const {
        if (at > data.size() || data.size() - at < 2)
            return false;
        v = static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
        return true;
    }
    bool u32(std::size_t at, std::uint32_t& v) const {
        std::uint32_t low = 0, high = 0;
        if (!u16(at, low) || !u16(at + 2, high))
            return false;
        v = low | high << 16;
        return true;
    }
};

// The file offset of an image address, through the section table.
bool fileOffset(const Bytes& b, std::size_t sections, std::uint32_t count, std::uint32_t rva,
                std::size_t& offset) {
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t s = sections + 40u * i;
        std::uint32_t virtualSize = 0, address = 0, rawSize = 0, raw = 0;
        if (!b.u32(s + 8, virtualSize) || !b.u32(s + 12, address) || !b.u32(s + 16, rawSize) ||
            !b.u32(s + 20, raw))
            return false;
        if (rva >= address && rva - address < std::max(virtualSize, rawSize)) {
            offset = std::size_t{raw} + (rva - address);
            return rva - address < rawSize && offset < b.data.size();
        }
    }
    return false;
}

// The entry of a resource directory with the given id, or its first entry (id 0); the value
// is an offset from the resource section's start, flagged 0x80000000 for a subdirectory.
bool directoryEntry(const Bytes& b, std::size_t root, std::uint32_t dir, std::uint32_t id,
                    std::uint32_t& value) {
    std::uint32_t named = 0, ids = 0;
    std::size_t at = root + dir;
    if (!b.u16(at + 12, named) || !b.u16(at + 14, ids))
        return false;
    for (std::uint32_t i = 0; i < named + ids; ++i) {
        std::uint32_t name = 0;
        if (!b.u32(at + 16 + 8u * i, name) || !b.u32(at + 20 + 8u * i, value))
            return false;
        if (id == 0 || name == id)
            return true;
    }
    return false;
}

std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

// UTF-16 units from at up to a terminator or end, as UTF-8; after: the unit past it.
std::string utf8(const Bytes& b, std::size_t at, std::size_t end, std::size_t& after) {
    std::string text;
    std::uint32_t unit = 0;
    for (; at + 2 <= end && b.u16(at, unit) && unit != 0; at += 2) {
        if (unit < 0x80) {
            text.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            text.push_back(static_cast<char>(0xC0 | unit >> 6));
            text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xE0 | unit >> 12));
            text.push_back(static_cast<char>(0x80 | (unit >> 6 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    after = at + 2;
    return text;
}

// One node at [at, end): wLength, wValueLength, wType, key, value, children.
bool walk(const Bytes& b, std::size_t at, std::size_t end, const std::string& parent, int depth,
          bool& hasFixed, oxp::FixedFileInfo& fixed, oxp::versioninfo::Values& values) {
    std::uint32_t length = 0, valueLength = 0, type = 0;
    if (depth > 8 || !b.u16(at, length) || !b.u16(at + 2, valueLength) || !b.u16(at + 4, type) ||
        length < 6 || length > end - at)
        return false;
    const std::size_t nodeEnd = at + length;
    std::size_t after = 0;
    const std::string key = utf8(b, at + 6, nodeEnd, after);
    if (after > nodeEnd)
        return false;
    const std::size_t value = align4(after);
    const std::size_t valueBytes = type == 1 ? 2u * valueLength : valueLength;
    if (value > nodeEnd || valueBytes > nodeEnd - value)
        return false;
    const std::string path = depth == 0 ? std::string() : parent + "\\" + key;
    std::size_t child = align4(value + valueBytes);
    if (depth == 0 && valueBytes >= sizeof fixed) {
        std::memcpy(&fixed, b.data.data() + value, sizeof fixed);
        hasFixed = fixed.signature == 0xFEEF04BD;
    }
    if (depth >= 2 && child >= nodeEnd) { // a leaf: its text, or nothing for binary values
        if (type == 1)
            values.emplace_back(path, utf8(b, value, value + valueBytes, after));
        return true;
    }
    for (std::uint32_t sub = 0; child + 6 <= nodeEnd; child = align4(child + sub)) {
        if (!b.u16(child, sub) || sub == 0 ||
            !walk(b, child, nodeEnd, path, depth + 1, hasFixed, fixed, values))
            return false;
    }
    return true;
}

} // namespace

namespace oxp::versioninfo {

bool readPeVersionResource(const std::string& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    std::string data;
    char chunk[4096];
    while (in && data.size() <= maxFileSize) {
        in.read(chunk, sizeof chunk);
        data.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (data.compare(0, 2, "MZ") != 0)
            return false; // no PE file: the rest is not read
    }
    const Bytes b{data};
    std::uint32_t pe = 0, signature = 0, sectionCount = 0, optionalSize = 0, magic = 0;
    if (data.size() > maxFileSize || data.compare(0, 2, "MZ") != 0 || !b.u32(0x3C, pe) ||
        !b.u32(pe, signature) || signature != 0x4550 || !b.u16(pe + 6, sectionCount) ||
        !b.u16(pe + 20, optionalSize) || !b.u16(pe + 24, magic))
        return false;
    const std::size_t optional = std::size_t{pe} + 24;
    const std::size_t directories = optional + (magic == 0x20B ? 112 : 96);
    std::uint32_t directoryCount = 0, resourceRva = 0;
    if ((magic != 0x10B && magic != 0x20B) ||
        !b.u32(directories - 4, directoryCount) || directoryCount < 3 ||
        !b.u32(directories + 16, resourceRva) || resourceRva == 0)
        return false;
    const std::size_t sections = optional + optionalSize;
    std::size_t root = 0, dataEntry = 0, contents = 0;
    std::uint32_t types = 0, names = 0, languages = 0, rva = 0, size = 0;
    if (!fileOffset(b, sections, sectionCount, resourceRva, root) ||
        !directoryEntry(b, root, 0, rtVersion, types) || !(types & 0x80000000) ||
        !directoryEntry(b, root, types & 0x7FFFFFFF, 0, names) || !(names & 0x80000000) ||
        !directoryEntry(b, root, names & 0x7FFFFFFF, 0, languages) || (languages & 0x80000000))
        return false;
    dataEntry = root + languages;
    if (!b.u32(dataEntry, rva) || !b.u32(dataEntry + 4, size) ||
        !fileOffset(b, sections, sectionCount, rva, contents) || size > data.size() - contents)
        return false;
    bytes.assign(data, contents, size);
    return true;
}

bool parse(const std::string& bytes, bool& hasFixed, FixedFileInfo& fixed, Values& values) {
    hasFixed = false;
    values.clear();
    return walk(Bytes{bytes}, 0, bytes.size(), "", 0, hasFixed, fixed, values);
}

} // namespace oxp::versioninfo
