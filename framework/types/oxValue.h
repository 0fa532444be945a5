// oxValue_c: one DMI attribute value, a kind number and one public field per kind. Only the
// field of the current kind is meaningful; the others keep whatever they last held.
//
// Kinds: 0, 5, 6 a 32-bit number; 1, 7 a 64-bit number; 8 a display string; 9 an octet
// string; 10 a date. Kinds 2, 3, 4 and anything above 10 are invalid.
#pragma once
#include "framework/types/oxDate.h"
#include "framework/types/oxOctetString.h"
#include "framework/types/oxString.h"
#include <cstdint>

class oxValue_c {
  public:
    static constexpr std::uint32_t defaultKind = 6;
    static constexpr std::uint32_t stringKind = 8;
    static constexpr std::uint32_t octetStringKind = 9;
    static constexpr std::uint32_t dateKind = 10;

    // Kind 6, every number 0, empty strings, the date of now.
    oxValue_c() = default;
    // A default value, then assign: the kind and the field of that kind are copied.
    oxValue_c(const oxValue_c& other);
    oxValue_c& operator=(const oxValue_c& other) {
        assign(other);
        return *this;
    }
    ~oxValue_c() = default;

    // Copies the kind, then only the field of that kind. An invalid kind becomes kind 6 and
    // nothing is copied. Failures of the string copies go on to the caller.
    void assign(const oxValue_c& other);
    // Same kind and the same content of that kind's field; an invalid kind equals nothing.
    bool operator==(const oxValue_c& other) const noexcept;
    bool operator!=(const oxValue_c& other) const noexcept { return !(*this == other); }
    // Kind 8 with a copy of the string, width included.
    void setString(const oxString_c& string);

    std::uint32_t kind = defaultKind;
    std::uint32_t number0 = 0;
    std::uint64_t number1 = 0;
    std::uint32_t number5 = 0;
    std::uint32_t number6 = 0;
    std::uint64_t number7 = 0;
    oxString_c string;
    oxOctetString_c octetString;
    oxDate_c date;
};
