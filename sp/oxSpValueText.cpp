#include "sp/oxSpValueText.h"
#include "sp/oxSpStatus.h"
#include <charconv>
#include <cstring>

namespace {

// The number in N's range; what names that range in the error.
template <class N> N parse(const std::string& text, const char* what) {
    N v{};
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        ++begin;
    const auto [p, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || p != end || begin == end)
        throw oxSpError_c(oxSpStatusBadArgument, "expected " + std::string(what) + ", found \"" +
                                                     text + "\"");
    return v;
}

// The octets of a text: one per character when every character is in ISO 8859-1 (as in a MIF's
// octet strings), else the UTF-8 bytes as they stand.
std::string octets(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) >> 6) == 2) {
            out += static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
        } else {
            return utf8;
        }
    }
    return out;
}

} // namespace

oxValue_c oxSpValueFromText(oxMifType_e type, const std::string& text) {
    oxValue_c v;
    v.kind = oxMifValueKind(type);
    switch (type) {
    // Integer and Integer64 keep the bits of the signed number in their unsigned fields.
    case oxMifType_e::counter:
        v.number0 = parse<std::uint32_t>(text, "an unsigned 32-bit number");
        break;
    case oxMifType_e::counter64:
        v.number1 = parse<std::uint64_t>(text, "an unsigned 64-bit number");
        break;
    case oxMifType_e::gauge:
        v.number5 = parse<std::uint32_t>(text, "an unsigned 32-bit number");
        break;
    case oxMifType_e::integer:
        v.number6 = static_cast<std::uint32_t>(parse<std::int32_t>(text, "a signed 32-bit number"));
        break;
    case oxMifType_e::integer64:
        v.number7 = static_cast<std::uint64_t>(parse<std::int64_t>(text, "a signed 64-bit number"));
        break;
    case oxMifType_e::displayString: v.setString(oxString_c(text.c_str())); break;
    case oxMifType_e::octetString: {
        const std::string bytes = octets(text);
        v.octetString = oxOctetString_c(static_cast<std::uint32_t>(bytes.size()), bytes.data());
        break;
    }
    case oxMifType_e::date: {
        // yyyymmddHHMMSS.uuuuuu+ooo, all 25 characters as they stand (microseconds included).
        if (text.size() != 25 || text[14] != '.' || (text[21] != '+' && text[21] != '-'))
            throw oxSpError_c(oxSpStatusBadArgument,
                              "expected a date yyyymmddHHMMSS.uuuuuu+ooo, found \"" + text + "\"");
        char* b = v.date.bytes();
        std::memset(b, 0, oxDate_c::size);
        std::memcpy(b, text.data(), 25);
        break;
    }
    }
    return v;
}

std::string oxSpTextOfValue(const oxValue_c& value) {
    switch (value.kind) {
    case 0: return std::to_string(value.number0);
    case 1: return std::to_string(value.number1);
    case 5: return std::to_string(value.number5);
    case 6: return std::to_string(static_cast<std::int32_t>(value.number6)); // Integer: signed
    case 7: return std::to_string(static_cast<std::int64_t>(value.number7));
    case 8: return oxSpNarrow(value.string);
    case 9: {
        static const char hex[] = "0123456789abcdef";
        std::string s;
        for (std::uint32_t i = 0; i < value.octetString.length(); ++i) {
            const auto c = static_cast<unsigned char>(value.octetString.bytes()[i]);
            s += hex[c >> 4];
            s += hex[c & 15];
        }
        return s;
    }
    case 10: {
        // The framework's own dates leave bytes 15-17 zero and hold milliseconds at 18-20.
        const char* b = value.date.bytes();
        std::string s(b, 15);
        if (b[15] == '\0')
            s.append(b + 18, 3).append("000");
        else
            s.append(b + 15, 6);
        s.append(b + 21, 4);
        for (char& c : s)
            if (c == '\0')
                c = '0';
        return s;
    }
    default: return std::string();
    }
}

std::string oxSpNarrow(const oxString_c& string) {
    if (string.length() == 0)
        return std::string();
    oxString_c copy(string);
    if (copy.isWide() && !copy.makeNarrow())
        return std::string();
    std::string text(copy.text(), copy.length());
    const std::size_t end = text.find('\0');
    return end == std::string::npos ? text : text.substr(0, end);
}
