// ELF header and section header parsing, bounds-checked against the file's size.
#include "platform/oxpElfSection.h"
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint32_t sectionNoBits = 8;       // SHT_NOBITS: no bytes in the file
constexpr std::uint32_t extendedIndex = 0xFFFF;  // SHN_XINDEX
constexpr std::uint64_t maxSections = 1u << 20;

// Fields of one section header that the search needs.
struct SectionHeader {
    std::uint32_t name;
    std::uint32_t type;
    std::uint64_t offset;
    std::uint64_t size;
    std::uint32_t link;
};

// An open regular file read with explicit bounds.
class FileReader {
  public:
    explicit FileReader(const std::string& path) {
        fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat info {};
        if (fd_ >= 0 && fstat(fd_, &info) == 0 && S_ISREG(info.st_mode))
            size_ = static_cast<std::uint64_t>(info.st_size);
        else
            ok_ = false;
    }
    ~FileReader() {
        if (fd_ >= 0)
            close(fd_);
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool ok() const { return ok_ && fd_ >= 0; }
    bool inside(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    bool read(std::uint64_t offset, std::size_t count, void* into) const {
        if (!ok() || !inside(offset, count))
            return false;
        auto* out = static_cast<char*>(into);
        while (count > 0) {
            ssize_t got = pread(fd_, out, count, static_cast<off_t>(offset));
            if (got <= 0)
                return false;
            out += got;
            offset += static_cast<std::uint64_t>(got);
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    bool ok_ = true;
};

// Reads little- or big-endian integers out of a byte buffer.
class Decoder {
  public:
    explicit Decoder(bool bigEndian) : big_(bigEndian) {}
    std::uint64_t get(const unsigned char* at, int bytes) const {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            int shift = big_ ? 8 * (bytes - 1 - i) : 8 * i;
            v |= static_cast<std::uint64_t>(at[i]) << shift;
        }
        return v;
    }

  private:
    bool big_;
};

// Layout of the two ELF classes: header field offsets and section header fields.
struct ElfLayout {
    bool wide;
    std::size_t headerSize, shoff, shentsize, shnum, shstrndx;
    std::size_t entrySize, nameAt, typeAt, offsetAt, sizeAt, linkAt;
};
constexpr ElfLayout elf32{false, 52, 0x20, 0x2E, 0x30, 0x32, 40, 0, 4, 16, 20, 24};
constexpr ElfLayout elf64{true, 64, 0x28, 0x3A, 0x3C, 0x3E, 64, 0, 4, 24, 32, 40};

SectionHeader decodeHeader(const Decoder& d, const ElfLayout& l, const unsigned char* at) {
    int word = l.wide ? 8 : 4;
    return SectionHeader{static_cast<std::uint32_t>(d.get(at + l.nameAt, 4)),
                         static_cast<std::uint32_t>(d.get(at + l.typeAt, 4)),
                         d.get(at + l.offsetAt, word), d.get(at + l.sizeAt, word),
                         static_cast<std::uint32_t>(d.get(at + l.linkAt, 4))};
}

bool readBytes(const FileReader& file, const SectionHeader& h, std::string& out) {
    if (h.type == sectionNoBits || h.size > oxp::elf::maxSectionSize || !file.inside(h.offset, h.size))
        return false;
    out.assign(static_cast<std::size_t>(h.size), '\0');
    return out.empty() || file.read(h.offset, out.size(), out.data());
}

} // namespace

namespace oxp::elf {

bool readSection(const std::string& path, const char* name, std::string& contents) {
    FileReader file(path);
    unsigned char ident[64] = {};
    if (!name || !file.ok() || !file.read(0, 16, ident))
        return false;
    if (std::memcmp(ident, "\x7f" "ELF", 4) != 0 || ident[6] != 1 || (ident[5] != 1 && ident[5] != 2))
        return false;
    const ElfLayout* layout = ident[4] == 1 ? &elf32 : ident[4] == 2 ? &elf64 : nullptr;
    if (!layout || !file.read(0, layout->headerSize, ident))
        return false;
    Decoder d(ident[5] == 2);
    std::uint64_t shoff = d.get(ident + layout->shoff, layout->wide ? 8 : 4);
    std::uint64_t entrySize = d.get(ident + layout->shentsize, 2);
    std::uint64_t count = d.get(ident + layout->shnum, 2);
    std::uint64_t namesIndex = d.get(ident + layout->shstrndx, 2);
    if (shoff == 0 || entrySize < layout->entrySize)
        return false;

    // Section 0 holds the real count and name-table index when they do not fit the header.
    std::vector<unsigned char> entry(static_cast<std::size_t>(entrySize));
    if (!file.read(shoff, entry.size(), entry.data()))
        return false;
    SectionHeader first = decodeHeader(d, *layout, entry.data());
    if (count == 0)
        count = first.size;
    if (namesIndex == extendedIndex)
        namesIndex = first.link;
    if (count == 0 || count > maxSections || namesIndex >= count ||
        !file.inside(shoff, count * entrySize))
        return false;

    std::vector<unsigned char> table(static_cast<std::size_t>(count * entrySize));
    if (!file.read(shoff, table.size(), table.data()))
        return false;
    std::string names;
    if (!readBytes(file, decodeHeader(d, *layout, table.data() + namesIndex * entrySize), names))
        return false;

    std::size_t wanted = std::strlen(name);
    for (std::uint64_t i = 0; i < count; ++i) {
        SectionHeader h = decodeHeader(d, *layout, table.data() + i * entrySize);
        if (h.name >= names.size() || names.size() - h.name <= wanted)
            continue;
        if (names.compare(h.name, wanted, name) == 0 && names[h.name + wanted] == '\0')
            return readBytes(file, h, contents);
    }
    return false;
}

} // namespace oxp::elf
