// The plain model a MIF file is read into: a component with its groups, attributes,
// enumerations and table rows. Texts are UTF-8; values are kept as the text the MIF gave,
// numbers in decimal.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Attribute data types. Each maps to one value kind of oxValue_c (see oxMifValueKind).
enum class oxMifType_e : std::uint8_t {
    counter,
    counter64,
    gauge,
    integer,
    integer64,
    octetString,
    displayString,
    date
};

// The value kind an attribute of the type travels as: counter 0, 64-bit counter 1, gauge 5,
// integer 6, 64-bit integer 7, display string 8, octet string 9, date 10.
std::uint32_t oxMifValueKind(oxMifType_e type) noexcept;
// The type's MIF keyword ("Counter", "String", ...).
const char* oxMifTypeName(oxMifType_e type) noexcept;
bool oxMifIsNumeric(oxMifType_e type) noexcept;
// Whether a number, given as sign and magnitude, lies in the numeric type's range: Counter and
// Gauge 0 to 2^32-1, Integer -2^31 to 2^31-1, Counter64 0 to 2^64-1, Integer64 -2^63 to 2^63-1.
// False for the other types.
bool oxMifInRange(oxMifType_e type, bool negative, std::uint64_t magnitude) noexcept;
// That range as text ("-2147483648 to 2147483647"); "" for the other types.
const char* oxMifRangeText(oxMifType_e type) noexcept;
// Whether the text is a DMI date yyyymmddHHMMSS.uuuuuu+ooo (sign + or -): each field digits in
// its range, or asterisks throughout for a field not known.
bool oxMifIsDate(const std::string& text) noexcept;

struct oxMifEnumItem {
    std::string name;
    std::int64_t value = 0;
};

struct oxMifAttribute {
    std::uint32_t id = 0;
    std::string name;
    std::string description;
    oxMifType_e type = oxMifType_e::integer;
    std::uint32_t maxLength = 0; // strings only
    std::vector<oxMifEnumItem> enumeration;
    std::string access = "Read-Only";
    std::string storage = "Common";
    // The static value; none when the value comes from instrumentation or is unknown.
    std::optional<std::string> value;
    std::uint32_t line = 0;
};

// One table row: a value (or none) per attribute, in the group's attribute order.
using oxMifRow = std::vector<std::optional<std::string>>;

struct oxMifGroup {
    std::uint32_t id = 0;
    std::string name;
    std::string groupClass;
    std::string description;
    std::vector<std::uint32_t> keys;
    std::vector<oxMifAttribute> attributes;
    std::vector<oxMifRow> rows;
    std::uint32_t line = 0;
};

struct oxMifComponent {
    std::string name;
    std::string description;
    std::string language;
    std::vector<oxMifGroup> groups;
};
