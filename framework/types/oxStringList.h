// oxStringList_c: an owning list of strings, a set in insertion order. Elements compare with
// oxString_c's ==, so a text with or without its counted terminator is the same element.
#pragma once
#include "framework/types/oxPtrList.h"
#include "framework/types/oxString.h"
#include "framework/types/oxTypeSource.h"

struct oxStringListTraits {
    static constexpr const char* source = oxTypeSource;
    static constexpr std::uint32_t atLine = 620;
    static constexpr std::uint32_t assignArrayLine = 638;
    static constexpr std::uint32_t assignElementLine = 645;
    static constexpr std::uint32_t removeLine = 664;
    static constexpr std::uint32_t addArrayLine = 703;
    static constexpr std::uint32_t addElementLine = 709;
};

class oxStringList_c : public oxPtrList_c<oxString_c, oxStringListTraits> {
  public:
    using oxPtrList_c::oxPtrList_c;
};
