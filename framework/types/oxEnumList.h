// oxEnumList_c: an attribute's enumeration, an owning list of items in insertion order.
// add refuses an item with the same name and value; the same name with another value (or
// another name with the same value) is a new item. Name lookups ignore the value and take the
// first item in list order.
#pragma once
#include "framework/types/oxEnumItem.h"
#include "framework/types/oxEnumSource.h"
#include "framework/types/oxPtrList.h"

struct oxEnumListTraits {
    static constexpr const char* source = oxEnumSource;
    static constexpr std::uint32_t atLine = 121;
    static constexpr std::uint32_t assignArrayLine = 151;
    static constexpr std::uint32_t assignElementLine = 158;
    static constexpr std::uint32_t removeLine = 177;
    static constexpr std::uint32_t addArrayLine = 216;
    static constexpr std::uint32_t addElementLine = 222;
};

class oxEnumList_c : public oxPtrList_c<oxEnumItem_c, oxEnumListTraits> {
  public:
    using oxPtrList_c::oxPtrList_c;
    // Copies of the n items in order, duplicates included; empty for n = 0 or a null pointer.
    oxEnumList_c(std::uint32_t n, const oxEnumItem_c* items);

    // The first item with the name; throws oxInvalidIndex_c when none.
    oxEnumItem_c* find(const oxString_c& name) const;
    // Position of the first item with the name; throws oxInvalidIndex_c when none.
    std::uint32_t indexOf(const oxString_c& name) const;
    bool contains(const oxString_c& name) const;

    // Same count and equal items at every position.
    bool operator==(const oxEnumList_c& other) const { return sameElements(other); }
    bool operator!=(const oxEnumList_c& other) const { return !sameElements(other); }
};
