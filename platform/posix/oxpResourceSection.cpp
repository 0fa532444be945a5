// Splitting the declaration macros' sections into entries.
#include "platform/oxpResourceSection.h"
#include "platform/oxpElfSection.h"
#include "platform/oxpResource.h"

namespace oxp::resource {

namespace {
// The NUL-terminated text at pos; false when the bytes end before its terminator.
bool takeText(const std::string& bytes, std::size_t& pos, std::string& text) {
    std::size_t end = bytes.find('\0', pos);
    if (end == std::string::npos)
        return false;
    text.assign(bytes, pos, end - pos);
    pos = end + 1;
    return true;
}
} // namespace

bool parseEntries(const std::string& bytes, const char* magic, Entries& entries) {
    entries.clear();
    std::size_t pos = 0;
    std::string text;
    if (!takeText(bytes, pos, text) || text != magic)
        return false;
    if (!takeText(bytes, pos, text) || text != OX_RESOURCE_FORMAT)
        return false;
    while (pos < bytes.size()) {
        Entry entry;
        if (!takeText(bytes, pos, entry.first))
            return false;
        if (entry.first.empty())
            break;
        if (!takeText(bytes, pos, entry.second))
            return false;
        entries.push_back(std::move(entry));
    }
    return true;
}

bool readEntries(const std::string& file, const char* section, const char* magic,
                 Entries& entries) {
    std::string bytes;
    return elf::readSection(file, section, bytes) && parseEntries(bytes, magic, entries);
}

bool parseNumber(const std::string& text, unsigned long long limit, unsigned long long& value) {
    std::size_t pos = 0;
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        pos = 2;
    }
    if (pos >= text.size())
        return false;
    value = 0;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        value = value * base + digit;
        if (value > limit)
            return false;
    }
    return true;
}

} // namespace oxp::resource
