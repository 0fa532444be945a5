#include "sp/oxMifTokenizer.h"
#include "sp/oxMifError.h"
#include <cctype>

namespace {

constexpr char dosEndOfFile = '\x1A'; // Ctrl-Z: DOS editors end a text file with it

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::uint32_t linesIn(const std::string& text) {
    std::uint32_t n = 1;
    for (char c : text)
        n += c == '\n';
    return n;
}

std::string decodeUtf16(const std::string& bytes, std::size_t start, bool bigEndian,
                        const std::string& file) {
    std::string out;
    const std::size_t n = bytes.size();
    auto unit = [&](std::size_t i) {
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        return static_cast<std::uint32_t>(lo | (hi << 8));
    };
    for (std::size_t i = start; i < n; i += 2) {
        if (i + 1 >= n)
            throw oxMifError_c(file, linesIn(out),
                               "truncated UTF-16 text: odd number of bytes");
        std::uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00) {
            const std::uint32_t low = i + 3 < n ? unit(i + 2) : 0;
            if (low < 0xDC00 || low >= 0xE000)
                throw oxMifError_c(file, linesIn(out), "broken UTF-16 surrogate pair");
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c < 0xE000) {
            throw oxMifError_c(file, linesIn(out), "broken UTF-16 surrogate pair");
        }
        if (c == 0)
            throw oxMifError_c(file, linesIn(out), "unexpected NUL character");
        if (c == dosEndOfFile)
            break;
        appendUtf8(out, c);
    }
    return out;
}

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
           c == '|';
}

} // namespace

std::string oxMifDecode(const std::string& bytes, const std::string& file, bool& unicode) {
    const auto b0 = bytes.size() > 0 ? static_cast<unsigned char>(bytes[0]) : 0;
    const auto b1 = bytes.size() > 1 ? static_cast<unsigned char>(bytes[1]) : 0;
    unicode = true;
    if (b0 == 0xFF && b1 == 0xFE)
        return decodeUtf16(bytes, 2, false, file);
    if (b0 == 0xFE && b1 == 0xFF)
        return decodeUtf16(bytes, 2, true, file);
    if (bytes.size() > 1 && b0 != 0 && b1 == 0)
        return decodeUtf16(bytes, 0, false, file);
    unicode = false; // every other file is ISO 8859-1, whatever its bytes look like
    const std::string text = bytes.substr(0, bytes.find(dosEndOfFile));
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos)
        throw oxMifError_c(file, linesIn(text.substr(0, nul)), "unexpected NUL character");
    std::string out;
    for (char c : text)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::size_t oxMifLength(const std::string& utf8) noexcept {
    std::size_t n = 0;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        n += (b >> 6) != 2;    // a character starts at every byte but a continuation byte
        n += (b >> 3) == 0x1E; // one beyond U+FFFF takes two UCS-2 units
    }
    return n;
}

std::string oxMifPrintable(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        const bool c1 = b == 0xC2 && i + 1 < text.size() && // U+0080 to U+009F
                        static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (c1)
            b = static_cast<unsigned char>(text[++i]);
        if (b < 0x20 || b == 0x7F || c1)
            out.append("\\x").append(1, hex[b >> 4]).append(1, hex[b & 15]);
        else
            out += static_cast<char>(b);
    }
    return out;
}

oxMifTokenizer_c::oxMifTokenizer_c(const std::string& bytes, const std::string& fileName)
    : text_(oxMifDecode(bytes, fileName, unicode_)), fileName_(fileName) {}

const oxMifToken& oxMifTokenizer_c::peek() {
    if (!haveAhead_) {
        ahead_ = scan();
        haveAhead_ = true;
    }
    return ahead_;
}

oxMifToken oxMifTokenizer_c::next() {
    peek();
    haveAhead_ = false;
    return ahead_;
}

std::string oxMifTokenizer_c::describe(const oxMifToken& token) {
    switch (token.kind) {
    case oxMifToken_e::end: return "end of file";
    case oxMifToken_e::string: return "\"" + oxMifPrintable(token.text) + "\"";
    default: return "'" + oxMifPrintable(token.text) + "'";
    }
}

oxMifToken oxMifTokenizer_c::scan() {
    const std::size_t n = text_.size();
    skipSpace();
    oxMifToken t;
    t.line = line_;
    if (pos_ >= n) {
        t.line = lastLine_; // the end of the file is reported at its last token
        return t;
    }
    lastLine_ = line_;
    const char c = text_[pos_];
    auto single = [&](oxMifToken_e kind) {
        t.kind = kind;
        t.text = std::string(1, c);
        ++pos_;
        return t;
    };
    switch (c) {
    case '=': return single(oxMifToken_e::equals);
    case ',': return single(oxMifToken_e::comma);
    case '{': return single(oxMifToken_e::openBrace);
    case '}': return single(oxMifToken_e::closeBrace);
    case '(': return single(oxMifToken_e::openParen);
    case ')': return single(oxMifToken_e::closeParen);
    case '*': return single(oxMifToken_e::star);
    default: break;
    }
    if (c == '"') {
        t.kind = oxMifToken_e::string;
        for (;;) { // one literal, then the next one if only white space lies between
            ++pos_;
            for (;;) {
                if (pos_ >= n)
                    throw oxMifError_c(fileName_, t.line, "unterminated string");
                const char d = text_[pos_++];
                if (d == '"')
                    break;
                if (d == '\\') {
                    escape(t.text, line_);
                    continue;
                }
                line_ += d == '\n';
                t.text += d;
            }
            lastLine_ = line_;
            const std::size_t after = pos_;
            const std::uint32_t afterLine = line_;
            skipSpace();
            if (pos_ < n && text_[pos_] == '"')
                continue;
            pos_ = after;
            line_ = afterLine;
            return t;
        }
    }
    const bool sign = (c == '-' || c == '+') && pos_ + 1 < n &&
                      std::isdigit(static_cast<unsigned char>(text_[pos_ + 1]));
    if (sign || std::isdigit(static_cast<unsigned char>(c))) {
        t.kind = oxMifToken_e::number;
        std::size_t end = pos_ + (sign ? 1 : 0);
        const bool hex = text_[end] == '0' && end + 1 < n &&
                         (text_[end + 1] == 'x' || text_[end + 1] == 'X');
        if (hex)
            end += 2;
        while (end < n && (hex ? std::isxdigit(static_cast<unsigned char>(text_[end]))
                               : std::isdigit(static_cast<unsigned char>(text_[end]))))
            ++end;
        t.text = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (hex && !std::isxdigit(static_cast<unsigned char>(t.text.back())))
            throw oxMifError_c(fileName_, t.line, "expected hexadecimal digits after '0x'");
        return t;
    }
    if (isWordChar(c)) {
        t.kind = oxMifToken_e::word;
        std::size_t end = pos_;
        while (end < n && isWordChar(text_[end]))
            ++end;
        t.text = text_.substr(pos_, end - pos_);
        pos_ = end;
        return t;
    }
    std::size_t end = pos_ + 1; // the whole character, not its first UTF-8 byte
    while (end < n && (static_cast<unsigned char>(text_[end]) >> 6) == 2)
        ++end;
    throw oxMifError_c(fileName_, t.line, "unexpected character '" +
                                              oxMifPrintable(text_.substr(pos_, end - pos_)) + "'");
}

void oxMifTokenizer_c::skipSpace() {
    const std::size_t n = text_.size();
    for (;;) { // white space and comments
        while (pos_ < n && std::isspace(static_cast<unsigned char>(text_[pos_])))
            line_ += text_[pos_++] == '\n';
        if (pos_ + 1 < n && text_[pos_] == '/' && text_[pos_ + 1] == '/') {
            while (pos_ < n && text_[pos_] != '\n')
                ++pos_;
            continue;
        }
        return;
    }
}

void oxMifTokenizer_c::escape(std::string& out, std::uint32_t line) {
    // \xh.. and \o..: up to 2 hexadecimal or 3 octal digits in an ISO 8859-1 file, 4 or 6 in
    // a Unicode one, for one character of the file's set.
    static const char simple[] = "a\ab\bf\fn\nr\rt\tv\v\\\\\"\"";
    const std::size_t n = text_.size();
    const char c = pos_ < n ? text_[pos_] : '\0';
    for (const char* s = simple; *s; s += 2)
        if (c == *s) {
            ++pos_;
            out += s[1];
            return;
        }
    const bool hex = c == 'x' || c == 'X';
    if (!hex && (c < '0' || c > '7'))
        throw oxMifError_c(fileName_, line, "unknown escape '\\" +
                                                oxMifPrintable(std::string(1, c)) + "' in a string");
    pos_ += hex;
    const std::size_t most = hex ? (unicode_ ? 4 : 2) : (unicode_ ? 6 : 3);
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (; digits < most && pos_ < n; ++digits, ++pos_) {
        const char d = text_[pos_];
        if (hex && std::isxdigit(static_cast<unsigned char>(d)))
            value = value * 16 + static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(d))
                                                                ? d - '0' : (d | 0x20) - 'a' + 10);
        else if (!hex && d >= '0' && d <= '7')
            value = value * 8 + static_cast<std::uint32_t>(d - '0');
        else
            break;
    }
    if (digits == 0)
        throw oxMifError_c(fileName_, line, "expected hexadecimal digits after '\\x'");
    if (value == 0)
        throw oxMifError_c(fileName_, line, "a string cannot hold the NUL character");
    if (value > (unicode_ ? 0xFFFFu : 0xFFu) || (value >= 0xD800 && value < 0xE000))
        throw oxMifError_c(fileName_, line, "escape of " + std::to_string(value) +
                                                ", not a character of the file's character set");
    appendUtf8(out, value);
}
