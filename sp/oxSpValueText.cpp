#include "sp/oxSpValueText.h"
#include "sp/oxSpStatus.h"
#include <charconv>
#include <cstring>

namespace {

template <class N> N parse(const std::string& text, const char* what) {
    N v{};
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (!text.empty() && text[0] == '+')
        ++begin;
    const auto [p, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || p != end || begin == end)
        throw oxSpError_c(oxSpStatusBadArgument, "expected " + std::string(what) + ", found \"" +
                                                     text + "\"");
    return v;
}

// 32-bit fields take signed integers in two's complement.
std::uint32_t parse32(const std::string& text) {
    if (!text.empty() && text[0] == '-') {
        const auto v = parse<std::int64_t>(text, "a 32-bit number");
        if (v < -2147483648ll)
            throw oxSpError_c(oxSpStatusBadArgument, "number out of range: " + text);
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
    }
    return parse<std::uint32_t>(text, "a 32-bit number");
}

std::uint64_t parse64(const std::string& text) {
    if (!text.empty() && text[0] == '-')
        return static_cast<std::uint64_t>(parse<std::int64_t>(text, "a 64-bit number"));
    return parse<std::uint64_t>(text, "a 64-bit number");
}

} // namespace

oxValue_c oxSpValueFromText(oxMifType_e type, const std::string& text) {
    oxValue_c v;
    v.kind = oxMifValueKind(type);
    switch (type) {
    case oxMifType_e::counter: v.number0 = parse32(text); break;
    case oxMifType_e::counter64: v.number1 = parse64(text); break;
    case oxMifType_e::gauge: v.number5 = parse32(text); break;
    case oxMifType_e::integer: v.number6 = parse32(text); break;
    case oxMifType_e::integer64: v.number7 = parse64(text); break;
    case oxMifType_e::displayString: v.setString(oxString_c(text.c_str())); break;
    case oxMifType_e::octetString:
        v.octetString = oxOctetString_c(static_cast<std::uint32_t>(text.size()), text.data());
        break;
    case oxMifType_e::date: {
        // yyyymmddHHMMSS.uuuuuu+ooo: the date keeps milliseconds only.
        if (text.size() != 25 || text[14] != '.' || (text[21] != '+' && text[21] != '-'))
            throw oxSpError_c(oxSpStatusBadArgument,
                              "expected a date yyyymmddHHMMSS.uuuuuu+ooo, found \"" + text + "\"");
        char* b = v.date.bytes();
        std::memset(b, 0, oxDate_c::size);
        std::memcpy(b, text.data(), 15);
        std::memcpy(b + 18, text.data() + 15, 3);
        std::memcpy(b + 21, text.data() + 21, 4);
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
    case 6: return std::to_string(value.number6);
    case 7: return std::to_string(value.number7);
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
        const char* b = value.date.bytes();
        std::string s(b, 15);
        s.append(b + 18, 3).append("000").append(b + 21, 4);
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
