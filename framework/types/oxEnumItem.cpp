#include "framework/types/oxEnumItem.h"

oxEnumItem_c::oxEnumItem_c(const oxString_c& name, std::uint32_t value)
    : name_(name), value_(value) {}

void oxEnumItem_c::assign(const oxEnumItem_c& other) {
    if (&other == this)
        return;
    name_.assign(other.name_);
    value_ = other.value_;
}

bool oxEnumItem_c::operator==(const oxEnumItem_c& other) const noexcept {
    return value_ == other.value_ && name_ == other.name_;
}
