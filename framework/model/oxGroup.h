// oxGroup_c: the description of one group of the component, as the service provider fills it.
// The framework reads the ID and the class text; the other fields are carried unchanged.
// oxGroupList_c: groups, looked up by ID or by class text (case-sensitive), first match wins.
#pragma once
#include "framework/model/oxModelList.h"
#include "framework/model/oxModelSources.h"
#include "framework/types/oxIdList.h"
#include "framework/types/oxString.h"

class oxGroup_c {
  public:
    // ID 0, empty texts, no attribute IDs.
    oxGroup_c() noexcept = default;
    oxGroup_c(std::uint32_t id, const oxString_c& groupClass, const oxString_c& secondText,
              const oxIdList_c& attributeIds, const oxString_c& thirdText,
              const oxString_c& fourthText);
    oxGroup_c(const oxGroup_c& other) = default;
    oxGroup_c& operator=(const oxGroup_c& other) = default;
    ~oxGroup_c() = default;

    // Every field equal, compared in field order.
    bool operator==(const oxGroup_c& other) const noexcept;

    std::uint32_t id = 0;
    oxString_c groupClass; // defining body, name and version joined by "|"
    oxString_c secondText;
    oxIdList_c attributeIds;
    oxString_c thirdText;
    oxString_c fourthText;
};

// Raise sites of oxGroupList_c.
struct oxGroupListTraits {
    static constexpr const char* source = oxGroupSource;
    static constexpr std::uint32_t constructArrayLine = 115;   // from records: the array
    static constexpr std::uint32_t constructElementLine = 126; // from records: an element
    static constexpr std::uint32_t atLine = 150;
    static constexpr std::uint32_t findLine = 162;             // by ID
    static constexpr std::uint32_t findByClassLine = 170;
    static constexpr std::uint32_t assignArrayLine = 188;
    static constexpr std::uint32_t assignElementLine = 195;
    static constexpr std::uint32_t removeLine = 214;
    static constexpr std::uint32_t addArrayLine = 253;
    static constexpr std::uint32_t addElementLine = 259;
    static constexpr std::uint32_t indexOfLine = 307;          // by ID
    static constexpr std::uint32_t indexOfByClassLine = 320;
};

class oxGroupList_c : public oxIdKeyedList_c<oxGroup_c, oxGroupListTraits> {
  public:
    using oxIdKeyedList_c::oxIdKeyedList_c;
    using oxIdKeyedList_c::contains;
    using oxIdKeyedList_c::find;
    using oxIdKeyedList_c::indexOf;
    oxGroupList_c() noexcept = default;
    // Copies of the n records in order; empty for n = 0 or a null pointer.
    oxGroupList_c(std::uint32_t n, const oxGroup_c* records) { buildFromRecords(n, records); }

    // The first group of the class; throws oxInvalidIndex_c when none.
    oxGroup_c* find(const oxString_c& groupClass) const;
    // Position of the first group of the class; throws oxInvalidIndex_c when none.
    std::uint32_t indexOf(const oxString_c& groupClass) const;
    bool contains(const oxString_c& groupClass) const;
};
