#include "sp/oxMifTokenizer.h"
#include "sp/oxMifError.h"
#include <cctype>

namespace {

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
        appendUtf8(out, c);
    }
    return out;
}

bool validUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
        if (extra == 9 || i + extra >= s.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += extra + 1;
    }
    return true;
}

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
           c == '|';
}

} // namespace

std::string oxMifDecode(const std::string& bytes, const std::string& file) {
    const auto b0 = bytes.size() > 0 ? static_cast<unsigned char>(bytes[0]) : 0;
    const auto b1 = bytes.size() > 1 ? static_cast<unsigned char>(bytes[1]) : 0;
    if (b0 == 0xFF && b1 == 0xFE)
        return decodeUtf16(bytes, 2, false, file);
    if (b0 == 0xFE && b1 == 0xFF)
        return decodeUtf16(bytes, 2, true, file);
    if (bytes.size() > 1 && b0 != 0 && b1 == 0)
        return decodeUtf16(bytes, 0, false, file);
    std::string text = bytes;
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos)
        throw oxMifError_c(file, linesIn(text.substr(0, nul)), "unexpected NUL character");
    if (validUtf8(text))
        return text;
    std::string out;
    for (char c : text)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

oxMifTokenizer_c::oxMifTokenizer_c(const std::string& bytes, const std::string& fileName)
    : text_(oxMifDecode(bytes, fileName)), fileName_(fileName) {}

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
    case oxMifToken_e::string: return "\"" + token.text + "\"";
    default: return "'" + token.text + "'";
    }
}

oxMifToken oxMifTokenizer_c::scan() {
    const std::size_t n = text_.size();
    for (;;) { // white space and comments
        while (pos_ < n && std::isspace(static_cast<unsigned char>(text_[pos_])))
            line_ += text_[pos_++] == '\n';
        if (pos_ + 1 < n && text_[pos_] == '/' && text_[pos_ + 1] == '/') {
            while (pos_ < n && text_[pos_] != '\n')
                ++pos_;
            continue;
        }
        break;
    }
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
        ++pos_;
        for (;;) {
            if (pos_ >= n)
                throw oxMifError_c(fileName_, t.line, "unterminated string");
            char d = text_[pos_++];
            if (d == '"') {
                lastLine_ = line_;
                return t;
            }
            if (d == '\\' && pos_ < n && (text_[pos_] == '"' || text_[pos_] == '\\'))
                d = text_[pos_++];
            line_ += d == '\n';
            t.text += d;
        }
    }
    const bool sign = (c == '-' || c == '+') && pos_ + 1 < n &&
                      std::isdigit(static_cast<unsigned char>(text_[pos_ + 1]));
    if (sign || std::isdigit(static_cast<unsigned char>(c))) {
        t.kind = oxMifToken_e::number;
        std::size_t end = pos_ + (sign ? 1 : 0);
        const bool hex = !sign && c == '0' && end + 1 < n &&
                         (text_[end + 1] == 'x' || text_[end + 1] == 'X');
        if (hex)
            end += 2;
        while (end < n && (hex ? std::isxdigit(static_cast<unsigned char>(text_[end]))
                               : std::isdigit(static_cast<unsigned char>(text_[end]))))
            ++end;
        t.text = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (hex && t.text.size() == 2)
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
    throw oxMifError_c(fileName_, t.line, "unexpected character '" + std::string(1, c) + "'");
}
