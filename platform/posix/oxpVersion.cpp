// Version blocks: the module file's .oxversion section (or a PE file's RT_VERSION resource),
// rebuilt into a queryable buffer. Callers ask for the size and then for the block, as on
// Windows; the file is read once for the pair (see KeptBlock).
//
// Buffer layout (all of it inside the caller's buffer, so pointers answered stay valid as long
// as the buffer): a header of five 32-bit words (magic "OXVI", total size, offset of the
// FixedFileInfo or 0 when the block declares none, offset and size of the values), the
// FixedFileInfo on a 4-byte boundary, then the values as  path NUL value NUL ... NUL.
#include "platform/oxpVersion.h"
#include "platform/oxpElfSection.h"
#include "platform/oxpPath.h"
#include "platform/oxpResource.h"
#include "platform/oxpResourceSection.h"
#include "platform/oxpVersionInfo.h"
#include <cstring>
#include <string>

namespace {

constexpr char blockMagic[4] = {'O', 'X', 'V', 'I'};
constexpr std::uint32_t headerSize = 5 * sizeof(std::uint32_t);
constexpr std::uint32_t alignmentSlack = alignof(oxp::FixedFileInfo) - 1;

struct BlockHeader {
    char magic[4];
    std::uint32_t total;
    std::uint32_t fixedOffset;
    std::uint32_t valuesOffset;
    std::uint32_t valuesSize;
};
static_assert(sizeof(BlockHeader) == headerSize);

// A module file's block, parsed: the fixed part and the values in declaration order.
struct ParsedBlock {
    bool hasFixed = false;
    oxp::FixedFileInfo fixed{};
    std::string values; // path NUL value NUL ... then a closing NUL
};

// "a.b.c.d": four 16-bit numbers into the two 32-bit halves of a version.
bool parseVersion(const std::string& text, std::uint32_t& high, std::uint32_t& low) {
    unsigned long long part[4] = {};
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        std::size_t end = i < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos ||
            !oxp::resource::parseNumber(text.substr(start, end - start), 0xFFFF, part[i]))
            return false;
        start = end + 1;
    }
    high = static_cast<std::uint32_t>(part[0] << 16 | part[1]);
    low = static_cast<std::uint32_t>(part[2] << 16 | part[3]);
    return true;
}

// "FM.Fm.Fb.Fr PM.Pm.Pb.Pr T", as OX_VERSION_FIXED writes it.
bool parseFixed(const std::string& text, oxp::FixedFileInfo& fixed) {
    std::size_t first = text.find(' ');
    std::size_t second = first == std::string::npos ? first : text.find(' ', first + 1);
    unsigned long long type = 0;
    if (second == std::string::npos ||
        !parseVersion(text.substr(0, first), fixed.fileVersionMS, fixed.fileVersionLS) ||
        !parseVersion(text.substr(first + 1, second - first - 1), fixed.productVersionMS,
                      fixed.productVersionLS) ||
        !oxp::resource::parseNumber(text.substr(second + 1), 0xFFFFFFFF, type))
        return false;
    fixed.signature = 0xFEEF04BD;
    fixed.structVersion = 0x00010000;
    fixed.fileFlagsMask = 0x3F; // VS_FFI_FILEFLAGSMASK
    fixed.fileOS = 0x00040004;  // VOS_NT_WINDOWS32
    fixed.fileType = static_cast<std::uint32_t>(type);
    return true;
}

// A Windows module file's RT_VERSION resource, so the same tools read both kinds of file.
bool readPeBlock(const std::string& file, ParsedBlock& block) {
    std::string bytes;
    oxp::versioninfo::Values values;
    if (!oxp::versioninfo::readPeVersionResource(file, bytes) ||
        !oxp::versioninfo::parse(bytes, block.hasFixed, block.fixed, values))
        return false;
    for (const auto& [path, value] : values) {
        block.values.append(path).push_back('\0');
        block.values.append(value).push_back('\0');
    }
    block.values.push_back('\0');
    return true;
}

// False when the file has no block or the block is malformed. A path that does not open as
// written is resolved as Windows matches names (in any case) and tried once more; a file that
// is no ELF file may be a Windows module file.
bool readBlock(const char* file, ParsedBlock& block) {
    if (!file || !*file)
        return false;
    using oxp::elf::Search;
    std::string host = oxp::hostPath(file);
    std::string bytes;
    Search found = oxp::elf::findSection(host, oxp::resource::versionSection, bytes);
    if (found == Search::notOpened) {
        std::string resolved = oxp::resolveHostPath(host);
        if (resolved != host) {
            host = std::move(resolved);
            found = oxp::elf::findSection(host, oxp::resource::versionSection, bytes);
        }
    }
    if (found == Search::notElf)
        return readPeBlock(host, block);
    oxp::resource::Entries entries;
    if (found != Search::found || !oxp::resource::parseEntries(bytes, OX_VERSION_MAGIC, entries))
        return false;
    for (const auto& [path, value] : entries) {
        if (path == "\\") {
            if (block.hasFixed || !parseFixed(value, block.fixed))
                return false; // a second or unreadable fixed part: malformed
            block.hasFixed = true;
        } else {
            block.values.append(path).push_back('\0');
            block.values.append(value).push_back('\0');
        }
    }
    block.values.push_back('\0');
    return true;
}

// The block the last getFileVersionInfoSize of this thread read, kept for the
// getFileVersionInfo that callers make next with the same path, so that each file is read once
// and not twice. The thread's next version call takes it or drops it: it never outlives one
// size-then-copy pair, and each thread has its own. A file replaced between the two calls
// answers what the first call read; Windows reads twice, so there the pair may even answer the
// size of one file and the block of the other. A relative path means what it meant at the
// first call.
struct KeptBlock {
    std::string file;
    ParsedBlock block;
    bool held = false;
};
constexpr std::size_t maxKept = 64u << 10; // larger blocks are read again rather than held

KeptBlock& keptBlock() noexcept {
    thread_local KeptBlock kept;
    return kept;
}

// Moves the kept block out when it was read from file; drops it in any case.
bool takeKept(const char* file, ParsedBlock& block) noexcept {
    KeptBlock& kept = keptBlock();
    const bool same = kept.held && file && kept.file == file;
    if (same)
        block = std::move(kept.block);
    kept.block = ParsedBlock();
    kept.held = false;
    return same;
}

void keep(const char* file, ParsedBlock& block) noexcept {
    KeptBlock& kept = keptBlock();
    if (block.values.size() > maxKept)
        return;
    try {
        kept.file.assign(file);
    } catch (...) {
        return; // not kept: the copy reads the file again
    }
    kept.block = std::move(block);
    kept.held = true;
}

std::uint64_t sizeNeeded(const ParsedBlock& block) {
    return headerSize + alignmentSlack + sizeof(oxp::FixedFileInfo) + block.values.size();
}

// The header of a block that getFileVersionInfo filled; false for anything else.
bool readHeader(const void* block, BlockHeader& header) {
    std::memcpy(&header, block, sizeof header);
    return std::memcmp(header.magic, blockMagic, sizeof blockMagic) == 0 &&
           header.valuesOffset <= header.total &&
           header.valuesSize <= header.total - header.valuesOffset;
}

// The index-th path and value of the block's values.
bool valueAt(const void* block, const BlockHeader& header, std::uint32_t index, const char*& path,
             const char*& value) {
    const char* at = static_cast<const char*>(block) + header.valuesOffset;
    const char* end = at + header.valuesSize;
    for (std::uint32_t i = 0; at < end && *at; ++i) {
        const char* text = at + std::strlen(at) + 1;
        if (text >= end)
            return false;
        if (i == index) {
            path = at;
            value = text;
            return true;
        }
        at = text + std::strlen(text) + 1;
    }
    return false;
}

} // namespace

namespace oxp {

std::uint32_t getFileVersionInfoSize(const char* file) noexcept {
    try {
        ParsedBlock block;
        takeKept(nullptr, block); // an earlier block nobody took is stale now
        if (!readBlock(file, block))
            return 0;
        std::uint64_t size = sizeNeeded(block);
        if (size > UINT32_MAX)
            return 0;
        keep(file, block);
        return static_cast<std::uint32_t>(size);
    } catch (...) {
        return 0;
    }
}

bool getFileVersionInfo(const char* file, std::uint32_t size, void* buffer) noexcept {
    try {
        ParsedBlock block;
        const bool kept = takeKept(file, block);
        if (!buffer || (!kept && !readBlock(file, block)) || size < sizeNeeded(block))
            return false;
        auto* bytes = static_cast<unsigned char*>(buffer);
        auto address = reinterpret_cast<std::uintptr_t>(bytes + headerSize);
        std::uint32_t fixedOffset =
            headerSize + static_cast<std::uint32_t>((alignof(FixedFileInfo) - address % alignof(FixedFileInfo)) %
                                                    alignof(FixedFileInfo));
        BlockHeader header{};
        std::memcpy(header.magic, blockMagic, sizeof blockMagic);
        header.total = static_cast<std::uint32_t>(sizeNeeded(block));
        header.fixedOffset = block.hasFixed ? fixedOffset : 0;
        header.valuesOffset = fixedOffset + static_cast<std::uint32_t>(sizeof(FixedFileInfo));
        header.valuesSize = static_cast<std::uint32_t>(block.values.size());
        std::memset(bytes, 0, header.total);
        std::memcpy(bytes, &header, sizeof header);
        if (block.hasFixed)
            std::memcpy(bytes + fixedOffset, &block.fixed, sizeof block.fixed);
        std::memcpy(bytes + header.valuesOffset, block.values.data(), block.values.size());
        return true;
    } catch (...) {
        return false;
    }
}

bool verQueryValue(const void* block, const char* path, const void** value,
                   std::uint32_t* length) noexcept {
    if (!block || !path || !value)
        return false;
    BlockHeader header{};
    if (!readHeader(block, header))
        return false;
    const char* bytes = static_cast<const char*>(block);
    if (std::strcmp(path, "\\") == 0) {
        if (header.fixedOffset == 0)
            return false;
        *value = bytes + header.fixedOffset;
        if (length)
            *length = sizeof(FixedFileInfo);
        return true;
    }
    const char* key = nullptr;
    const char* text = nullptr;
    for (std::uint32_t i = 0; valueAt(block, header, i, key, text); ++i)
        if (sameNameNoCase(key, path)) {
            *value = text;
            if (length)
                *length = static_cast<std::uint32_t>(std::strlen(text) + 1);
            return true;
        }
    return false;
}

bool versionValueAt(const void* block, std::uint32_t index, const char** path,
                    const char** value) noexcept {
    BlockHeader header{};
    const char* key = nullptr;
    const char* text = nullptr;
    if (!block || !readHeader(block, header) || !valueAt(block, header, index, key, text))
        return false;
    if (path)
        *path = key;
    if (value)
        *value = text;
    return true;
}

} // namespace oxp
