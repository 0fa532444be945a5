// Conversions between DMI values and SNMP values; one place decides each type's wire form.
#include "agent/snmp/oxSnmpValue.h"
#include "sp/oxSpValueText.h"

namespace {

constexpr std::size_t integer64Octets = 8;
constexpr std::size_t dateOctets = 25;

oxSnmpValue typed(oxSnmpType_e type, std::uint64_t number) {
    oxSnmpValue v;
    v.type = type;
    v.number = number;
    return v;
}

} // namespace

oxSnmpValue oxSnmpInteger(std::int64_t number) {
    return typed(oxSnmpType_e::integer, static_cast<std::uint64_t>(number));
}

oxSnmpValue oxSnmpUnsigned(std::uint32_t number) {
    return typed(oxSnmpType_e::unsigned32, number);
}

oxSnmpValue oxSnmpOctets(std::string octets) {
    oxSnmpValue v;
    v.type = oxSnmpType_e::octets;
    v.octets = std::move(octets);
    return v;
}

oxSnmpValue oxSnmpValueOf(const oxValue_c& value) {
    switch (value.kind) {
    case 0:
        return typed(oxSnmpType_e::counter32, value.number0);
    case 1:
        return typed(oxSnmpType_e::counter64, value.number1);
    case 5:
        return typed(oxSnmpType_e::gauge32, value.number5);
    case 6:
        return oxSnmpInteger(static_cast<std::int32_t>(value.number6));
    case 7: {
        std::string octets(integer64Octets, '\0');
        for (std::size_t i = 0; i < integer64Octets; ++i)
            octets[i] = static_cast<char>(value.number7 >> (8 * (integer64Octets - 1 - i)));
        return oxSnmpOctets(std::move(octets));
    }
    case oxValue_c::octetStringKind:
        return oxSnmpOctets(std::string(value.octetString.bytes() ? value.octetString.bytes() : "",
                                        value.octetString.length()));
    case oxValue_c::dateKind: {
        std::string text = oxSpTextOfValue(value);
        text.resize(dateOctets, ' ');
        return oxSnmpOctets(std::move(text));
    }
    default:
        return oxSnmpOctets(oxSpTextOfValue(value));
    }
}

oxSnmpSetText oxSnmpTextForSet(oxMifType_e type, const oxSnmpValue& value) {
    const auto expect = [&value](oxSnmpType_e wanted) { return value.type == wanted; };
    switch (type) {
    case oxMifType_e::counter:
        if (!expect(oxSnmpType_e::counter32))
            return {"", "wrongType"};
        return {std::to_string(value.number), ""};
    case oxMifType_e::gauge:
        if (!expect(oxSnmpType_e::gauge32) && !expect(oxSnmpType_e::unsigned32))
            return {"", "wrongType"};
        return {std::to_string(value.number), ""};
    case oxMifType_e::counter64:
        if (!expect(oxSnmpType_e::counter64))
            return {"", "wrongType"};
        return {std::to_string(value.number), ""};
    case oxMifType_e::integer:
        if (!expect(oxSnmpType_e::integer))
            return {"", "wrongType"};
        return {std::to_string(static_cast<std::int64_t>(value.number)), ""};
    case oxMifType_e::integer64: {
        if (!expect(oxSnmpType_e::octets))
            return {"", "wrongType"};
        if (value.octets.size() != integer64Octets)
            return {"", "wrongLength"};
        std::uint64_t bits = 0;
        for (const char c : value.octets)
            bits = bits << 8 | static_cast<unsigned char>(c);
        return {std::to_string(static_cast<std::int64_t>(bits)), ""};
    }
    case oxMifType_e::date:
        if (!expect(oxSnmpType_e::octets))
            return {"", "wrongType"};
        if (value.octets.size() != dateOctets)
            return {"", "wrongLength"};
        return {value.octets, ""};
    case oxMifType_e::octetString: {
        if (!expect(oxSnmpType_e::octets))
            return {"", "wrongType"};
        // The provider reads an octet string's text one octet per ISO 8859-1 character, so
        // each octet goes as that character, and none is read together with the next.
        std::string text;
        for (const char c : value.octets) {
            const auto octet = static_cast<unsigned char>(c);
            if (octet < 0x80)
                text += c;
            else
                text += {static_cast<char>(0xC0 | octet >> 6), static_cast<char>(0x80 | (octet & 0x3F))};
        }
        return {text, ""};
    }
    default:
        if (!expect(oxSnmpType_e::octets))
            return {"", "wrongType"};
        return {value.octets, ""};
    }
}

std::string oxSnmpDateOfTime(const std::string& time) {
    std::string digits;
    for (const char c : time)
        if (c >= '0' && c <= '9')
            digits += c;
    digits.resize(14, '0');
    return digits + ".000000+000";
}
