#include "framework/model/oxMIFParser.h"
#include "framework/diag/oxExceptions.h"
#include <cctype>
#include <cstring>

namespace {
// Raise sites.
constexpr std::uint32_t lineCannotOpen = 34;
constexpr std::uint32_t lineInvalidFormat = 214;
constexpr std::size_t pathSize = 4096;

[[noreturn]] void raiseInvalidFormat() {
    throw oxFatal_c(oxMIFParserSource, lineInvalidFormat, "Invalid 'mix' file format");
}
} // namespace

oxMIFParser_c::oxMIFParser_c(const oxString_c& fileName, std::uint32_t /*unused*/) {
    // The name as NUL-terminated 8-bit text; a name longer than any path the platform opens
    // cannot be located (its box shows it cut).
    char path[pathSize] = {};
    oxString_c narrow(fileName);
    if (narrow.isWide())
        narrow.makeNarrow();
    if (narrow.length() < pathSize)
        narrow.copyTo(path);
    else
        std::memcpy(path, narrow.text(), pathSize - 1);
    // Binary mode: 16-bit code units must reach the tokenizer untranslated; line ends of
    // either form are separators (and end comments) anyway.
    if (narrow.length() < pathSize)
        stream_ = std::fopen(path, "rb");
    if (!stream_)
        throw oxFatal_c(oxMIFParserSource, lineCannotOpen, "Unable to locate MIF File %s\n", path);
    unsigned char bytes[2] = {0, 0};
    std::size_t got = std::fread(bytes, 1, 2, stream_);
    if (got == 2)
        mark_ = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

oxMIFParser_c::~oxMIFParser_c() {
    if (stream_)
        std::fclose(stream_);
}

void oxMIFParser_c::readChar() {
    std::size_t want = 1;
    std::size_t got = 0;
    if (isUnicode()) {
        unsigned char bytes[2] = {0, 0};
        want = 2;
        got = std::fread(bytes, 1, 2, stream_);
        char16_ = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    } else {
        unsigned char byte = 0;
        got = std::fread(&byte, 1, 1, stream_);
        char8_ = static_cast<signed char>(byte);
    }
    // A short read (end of file, half a code unit, or a read error) ends the walk: no token
    // can be completed from here.
    if (got != want || std::feof(stream_) || std::ferror(stream_))
        raiseInvalidFormat();
}

// Characters 128 and above belong to no class: the standard tests are only defined for
// unsigned char values, and no keyword or delimiter of the file lies above 127.
int oxMIFParser_c::classByte() const noexcept {
    if (isUnicode())
        return char16_ < 128 ? char16_ : -1;
    return char8_ >= 0 ? char8_ : -1;
}

bool oxMIFParser_c::isSeparator() const noexcept {
    int c = classByte();
    return c >= 0 && (std::iscntrl(c) || std::isspace(c));
}

bool oxMIFParser_c::isLetter() const noexcept {
    int c = classByte();
    return c >= 0 && std::isalpha(c);
}

// Appends the current character while there is room, keeping the token terminated; a longer
// token keeps its first 258 characters (255 code units), and the rest is read and dropped.
void oxMIFParser_c::append(std::uint32_t& length) noexcept {
    if (isUnicode()) {
        if (length + 1 < token16Size) {
            token16_[length++] = static_cast<char16_t>(char16_);
            token16_[length] = u'\0';
        }
    } else if (length + 1 < token8Size) {
        token8_[length++] = static_cast<char>(char8_);
        token8_[length] = '\0';
    }
}

void oxMIFParser_c::terminate(std::uint32_t length) noexcept {
    if (isUnicode())
        token16_[length] = u'\0';
    else
        token8_[length] = '\0';
}

void oxMIFParser_c::nextToken() {
    std::uint32_t length = 0;
    terminate(0);
    do
        readChar();
    while (isSeparator());

    if (isChar('/')) {
        while (!isLineEnd())
            readChar();
    } else if (isChar('=')) {
        append(length);
    } else if (isChar('"')) {
        for (readChar(); !isChar('"'); readChar())
            append(length);
    } else if (isLetter()) {
        while (isLetter()) {
            append(length);
            readChar();
        }
    }
    terminate(length);
}

bool oxMIFParser_c::tokenStartsWith(const char* keyword, std::uint32_t n) const noexcept {
    if (!isUnicode())
        return std::strncmp(token8_, keyword, n) == 0;
    for (std::uint32_t i = 0; i < n; ++i)
        if (token16_[i] != static_cast<char16_t>(keyword[i]))
            return false; // also stops at the token's NUL, which no keyword holds
    return true;
}

// Reads up to the keyword, then the two tokens after it: the value is the second.
void oxMIFParser_c::skipToValue(const char* keyword, std::uint32_t n) {
    do
        nextToken();
    while (!tokenStartsWith(keyword, n));
    nextToken();
    nextToken();
}

void oxMIFParser_c::assignToken(oxString_c& target) const {
    if (isUnicode())
        target.assign(token16_);
    else
        target.assign(token8_);
}

void oxMIFParser_c::readLanguageAndName(oxString_c& language, oxString_c& name,
                                        oxStatus_t* /*status*/) {
    // An 8-bit file is read from its first byte: the two mark bytes are text.
    if (!isUnicode())
        std::rewind(stream_);
    skipToValue("Language", 8);
    assignToken(language);
    skipToValue("Name", 4);
    assignToken(name);
}
