#include "sp/oxMifModel.h"

std::uint32_t oxMifValueKind(oxMifType_e type) noexcept {
    switch (type) {
    case oxMifType_e::counter: return 0;
    case oxMifType_e::counter64: return 1;
    case oxMifType_e::gauge: return 5;
    case oxMifType_e::integer: return 6;
    case oxMifType_e::integer64: return 7;
    case oxMifType_e::displayString: return 8;
    case oxMifType_e::octetString: return 9;
    case oxMifType_e::date: return 10;
    }
    return 6;
}

const char* oxMifTypeName(oxMifType_e type) noexcept {
    switch (type) {
    case oxMifType_e::counter: return "Counter";
    case oxMifType_e::counter64: return "Counter64";
    case oxMifType_e::gauge: return "Gauge";
    case oxMifType_e::integer: return "Integer";
    case oxMifType_e::integer64: return "Integer64";
    case oxMifType_e::displayString: return "String";
    case oxMifType_e::octetString: return "OctetString";
    case oxMifType_e::date: return "Date";
    }
    return "Integer";
}

bool oxMifIsNumeric(oxMifType_e type) noexcept {
    return type != oxMifType_e::displayString && type != oxMifType_e::octetString &&
           type != oxMifType_e::date;
}

bool oxMifInRange(oxMifType_e type, bool negative, std::uint64_t magnitude) noexcept {
    negative = negative && magnitude != 0; // -0 is 0
    switch (type) {
    case oxMifType_e::counter:
    case oxMifType_e::gauge: return !negative && magnitude <= 0xFFFFFFFFull;
    case oxMifType_e::integer: return magnitude <= (negative ? 0x80000000ull : 0x7FFFFFFFull);
    case oxMifType_e::counter64: return !negative;
    case oxMifType_e::integer64:
        return magnitude <= (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull);
    default: return false;
    }
}

const char* oxMifRangeText(oxMifType_e type) noexcept {
    switch (type) {
    case oxMifType_e::counter:
    case oxMifType_e::gauge: return "0 to 4294967295";
    case oxMifType_e::integer: return "-2147483648 to 2147483647";
    case oxMifType_e::counter64: return "0 to 18446744073709551615";
    case oxMifType_e::integer64: return "-9223372036854775808 to 9223372036854775807";
    default: return "";
    }
}

bool oxMifIsDate(const std::string& text) noexcept {
    struct Field {
        std::size_t at, width;
        int low, high;
    };
    static const Field fields[] = {{0, 4, 0, 9999},  {4, 2, 1, 12}, {6, 2, 1, 31},
                                   {8, 2, 0, 23},    {10, 2, 0, 59}, {12, 2, 0, 60},
                                   {15, 6, 0, 999999}, {22, 3, 0, 999}};
    if (text.size() != 25 || text[14] != '.' || (text[21] != '+' && text[21] != '-'))
        return false;
    for (const Field& f : fields) {
        const std::string field = text.substr(f.at, f.width);
        if (field.find_first_not_of('*') == std::string::npos)
            continue;
        int v = 0;
        for (char c : field) {
            if (c < '0' || c > '9')
                return false;
            v = v * 10 + (c - '0');
        }
        if (v < f.low || v > f.high)
            return false;
    }
    return true;
}
