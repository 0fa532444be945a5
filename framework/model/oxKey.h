// oxKey_c: the key of one table row, one attribute value per key attribute, in the order
// they were added. Two keys are equal when they hold equal values in the same order.
// oxKeyList_c: the rows a component serves, in the order it registered them.
#pragma once
#include "framework/model/oxAttribValue.h"

// Raise sites of oxKey_c: the lines of oxAttribValueList_c, in its own source.
struct oxKeyTraits : oxAttribValueListTraits {
    static constexpr const char* source = oxKeySource;
};

class oxKey_c : public oxIdKeyedList_c<oxAttribValue_c, oxKeyTraits> {
  public:
    using oxIdKeyedList_c::oxIdKeyedList_c;
    oxKey_c() noexcept = default;
    // One default value per key attribute ID, in the ID list's order.
    explicit oxKey_c(const oxIdList_c& ids) { buildFromIds(ids); }
};

// Raise sites of oxKeyList_c.
struct oxKeyListTraits {
    static constexpr const char* source = oxKeySource;
    static constexpr std::uint32_t atLine = 294;
    static constexpr std::uint32_t removeLine = 312;
    static constexpr std::uint32_t addArrayLine = 350;
    static constexpr std::uint32_t addElementLine = 356;
    static constexpr std::uint32_t indexOfLine = 405;
};

class oxKeyList_c : public oxRowList_c<oxKey_c, oxKeyListTraits> {
  public:
    using oxRowList_c::oxRowList_c;
};
