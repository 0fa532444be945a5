#include "framework/types/oxValue.h"

oxValue_c::oxValue_c(const oxValue_c& other) { assign(other); }

void oxValue_c::assign(const oxValue_c& other) {
    kind = other.kind;
    switch (kind) {
    case 0: number0 = other.number0; break;
    case 1: number1 = other.number1; break;
    case 5: number5 = other.number5; break;
    case 6: number6 = other.number6; break;
    case 7: number7 = other.number7; break;
    case stringKind:
        if (&other != this)
            string.assign(other.string);
        break;
    case octetStringKind: octetString.assign(other.octetString); break;
    case dateKind: date = other.date; break;
    default: kind = defaultKind; break;
    }
}

bool oxValue_c::operator==(const oxValue_c& other) const noexcept {
    if (kind != other.kind)
        return false;
    switch (kind) {
    case 0: return number0 == other.number0;
    case 1: return number1 == other.number1;
    case 5: return number5 == other.number5;
    case 6: return number6 == other.number6;
    case 7: return number7 == other.number7;
    case stringKind: return string == other.string;
    case octetStringKind: return octetString == other.octetString;
    case dateKind: return date == other.date;
    default: return false;
    }
}

void oxValue_c::setString(const oxString_c& text) {
    kind = stringKind;
    string.assign(text);
}
