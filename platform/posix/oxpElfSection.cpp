// ELF header and section header parsing, bounds-checked against the file's end, with as few
// system calls as the format allows: the module scan reads every candidate file this way.
#include "platform/oxpElfSection.h"
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint32_t sectionNoBits = 8;       // SHT_NOBITS: no bytes in the file
constexpr std::uint32_t extendedIndex = 0xFFFF;  // SHN_XINDEX
constexpr std::uint64_t maxSections = 1u << 20;

// The first read: the ELF header, and the whole of a small module file.
constexpr std::size_t headBytes = 16u << 10;
// Linkers put the section-name table just before the section headers, so the read of the
// headers starts this much earlier and usually brings the names along.
constexpr std::uint64_t namesSlack = 1u << 10;
// A read this large is checked against the file's size before its buffer is allocated.
constexpr std::uint64_t largeRead = 1u << 20;

// Fields of one section header that the search needs.
struct SectionHeader {
    std::uint32_t name;
    std::uint32_t type;
    std::uint64_t offset;
    std::uint64_t size;
    std::uint32_t link;
};

// An open file read with pread, through two windows kept in memory: its first bytes and the
// bytes around the section headers. There is no fstat up front: a short read tells where the
// file ends, and the size is asked for only before a large read, or an empty one that no
// window vouches for.
class FileReader {
  public:
    explicit FileReader(const std::string& path)
        : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
        if (fd_ >= 0)
            load(head_, 0, headBytes);
    }
    ~FileReader() {
        if (fd_ >= 0)
            close(fd_);
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool opened() const { return fd_ >= 0; }

    // False when [offset, offset + count) surely does not lie inside the file.
    bool mayHold(std::uint64_t offset, std::uint64_t count) {
        if (!sized_ && !failed_ && (count > largeRead || (count == 0 && !vouches(offset))))
            learnSize();
        return !failed_ && (!sized_ || (offset <= size_ && count <= size_ - offset));
    }

    // Copies [offset, offset + count) into into; false when the file ends before.
    bool read(std::uint64_t offset, std::size_t count, void* into) {
        if (!mayHold(offset, count))
            return false;
        for (const Window* window : {&head_, &tail_})
            if (window->holds(offset, count)) {
                std::memcpy(into, window->at(offset), count);
                return true;
            }
        return count == 0 || readFile(offset, count, static_cast<unsigned char*>(into)) == count;
    }

    // Keeps [offset, offset + count) in the second window, unless the first holds it.
    void prefetch(std::uint64_t offset, std::uint64_t count) {
        if (!failed_ && count <= largeRead && !head_.holds(offset, count))
            load(tail_, offset, static_cast<std::size_t>(count));
    }

  private:
    struct Window {
        std::uint64_t offset = 0;
        std::size_t size = 0;
        std::unique_ptr<unsigned char[]> bytes;
        bool holds(std::uint64_t at, std::uint64_t count) const {
            return at >= offset && at - offset <= size && count <= size - (at - offset);
        }
        const unsigned char* at(std::uint64_t where) const { return bytes.get() + (where - offset); }
    };

    // Whether the windows show the file reaching offset.
    bool vouches(std::uint64_t offset) const {
        return offset <= head_.offset + head_.size || offset <= tail_.offset + tail_.size;
    }
    void load(Window& window, std::uint64_t offset, std::size_t count) {
        window.bytes.reset(new unsigned char[count]);
        window.offset = offset;
        window.size = readFile(offset, count, window.bytes.get());
    }
    // Up to count bytes at offset; fewer only where the file ends (or cannot be read). A plain
    // file answers short only at its end, so a short read is not retried: it tells the size.
    std::size_t readFile(std::uint64_t offset, std::size_t count, unsigned char* into) {
        if (failed_ || offset > static_cast<std::uint64_t>(INT64_MAX) - count)
            return 0; // beyond any file
        ssize_t got = pread(fd_, into, count, static_cast<off_t>(offset));
        while (got < 0 && errno == EINTR)
            got = pread(fd_, into, count, static_cast<off_t>(offset));
        if (got < 0) {
            failed_ = true;
            return 0;
        }
        const auto done = static_cast<std::size_t>(got);
        if (done < count && (done > 0 || offset == 0)) { // the file ends right there
            sized_ = true;
            size_ = offset + done;
        }
        return done;
    }
    void learnSize() {
        struct stat info {};
        if (fstat(fd_, &info) != 0)
            failed_ = true;
        sized_ = true;
        size_ = static_cast<std::uint64_t>(info.st_size);
    }

    int fd_;
    Window head_, tail_;
    bool sized_ = false;
    bool failed_ = false;
    std::uint64_t size_ = 0;
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

bool readBytes(FileReader& file, const SectionHeader& h, std::string& out) {
    if (h.type == sectionNoBits || h.size > oxp::elf::maxSectionSize || !file.mayHold(h.offset, h.size))
        return false;
    out.assign(static_cast<std::size_t>(h.size), '\0');
    return file.read(h.offset, out.size(), out.data());
}

} // namespace

namespace oxp::elf {

Search findSection(const std::string& path, const char* name, std::string& contents) {
    if (!name)
        return Search::absent;
    FileReader file(path);
    if (!file.opened())
        return Search::notOpened;
    unsigned char ident[64] = {};
    if (!file.read(0, 16, ident) || std::memcmp(ident, "\x7f" "ELF", 4) != 0)
        return Search::notElf;
    if (ident[6] != 1 || (ident[5] != 1 && ident[5] != 2))
        return Search::absent;
    const ElfLayout* layout = ident[4] == 1 ? &elf32 : ident[4] == 2 ? &elf64 : nullptr;
    if (!layout || !file.read(0, layout->headerSize, ident))
        return Search::absent;
    Decoder d(ident[5] == 2);
    std::uint64_t shoff = d.get(ident + layout->shoff, layout->wide ? 8 : 4);
    std::uint64_t entrySize = d.get(ident + layout->shentsize, 2);
    std::uint64_t count = d.get(ident + layout->shnum, 2);
    std::uint64_t namesIndex = d.get(ident + layout->shstrndx, 2);
    if (shoff == 0 || entrySize < layout->entrySize)
        return Search::absent;
    const std::uint64_t before = shoff < namesSlack ? shoff : namesSlack;
    file.prefetch(shoff - before, before + (count == 0 ? 1 : count) * entrySize);

    // Section 0 holds the real count and name-table index when they do not fit the header.
    std::vector<unsigned char> entry(static_cast<std::size_t>(entrySize));
    if (!file.read(shoff, entry.size(), entry.data()))
        return Search::absent;
    SectionHeader first = decodeHeader(d, *layout, entry.data());
    if (count == 0)
        count = first.size;
    if (namesIndex == extendedIndex)
        namesIndex = first.link;
    if (count == 0 || count > maxSections || namesIndex >= count ||
        !file.mayHold(shoff, count * entrySize))
        return Search::absent;

    std::vector<unsigned char> table(static_cast<std::size_t>(count * entrySize));
    if (!file.read(shoff, table.size(), table.data()))
        return Search::absent;
    std::string names;
    if (!readBytes(file, decodeHeader(d, *layout, table.data() + namesIndex * entrySize), names))
        return Search::absent;

    std::size_t wanted = std::strlen(name);
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* at = table.data() + i * entrySize;
        const auto nameAt = static_cast<std::size_t>(d.get(at + layout->nameAt, 4)); // the rest only for the match
        if (nameAt >= names.size() || names.size() - nameAt <= wanted)
            continue;
        if (names.compare(nameAt, wanted, name) == 0 && names[nameAt + wanted] == '\0')
            return readBytes(file, decodeHeader(d, *layout, at), contents) ? Search::found : Search::absent;
    }
    return Search::absent;
}

bool readSection(const std::string& file, const char* name, std::string& contents) {
    return findSection(file, name, contents) == Search::found;
}

} // namespace oxp::elf
