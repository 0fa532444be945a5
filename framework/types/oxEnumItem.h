// oxEnumItem_c: one named value of an attribute's enumeration.
#pragma once
#include "framework/types/oxString.h"
#include <cstdint>

class oxEnumItem_c {
  public:
    oxEnumItem_c(const oxString_c& name, std::uint32_t value);
    oxEnumItem_c(const oxEnumItem_c& other) = default;
    oxEnumItem_c& operator=(const oxEnumItem_c& other) {
        assign(other);
        return *this;
    }
    ~oxEnumItem_c() = default;

    // Copies the name (width included) and the value.
    void assign(const oxEnumItem_c& other);
    // Names equal by oxString_c's == and the same value.
    bool operator==(const oxEnumItem_c& other) const noexcept;
    bool operator!=(const oxEnumItem_c& other) const noexcept { return !(*this == other); }

    const oxString_c& name() const noexcept { return name_; }
    std::uint32_t value() const noexcept { return value_; }

  private:
    oxString_c name_;
    std::uint32_t value_;
};
