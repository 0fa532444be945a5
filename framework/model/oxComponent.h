// oxComponent_c: the description of an installed component. The framework reads the ID and
// the name; the first and third texts are carried unchanged.
// oxComponentList_c: component descriptions, looked up by ID, first match wins.
#pragma once
#include "framework/model/oxModelList.h"
#include "framework/model/oxModelSources.h"
#include "framework/types/oxString.h"

class oxComponent_c {
  public:
    // The second argument is the name, the third the first text.
    oxComponent_c(std::uint32_t id, const oxString_c& name, const oxString_c& firstText,
                  const oxString_c& thirdText);
    oxComponent_c(const oxComponent_c& other) = default;
    oxComponent_c& operator=(const oxComponent_c& other) = default;
    ~oxComponent_c() = default;

    // Every field equal, compared as ID, name, first text, third text.
    bool operator==(const oxComponent_c& other) const noexcept;

    std::uint32_t id;
    oxString_c firstText;
    oxString_c name; // the component's MIF name
    oxString_c thirdText;
};

// Raise sites of oxComponentList_c.
struct oxComponentListTraits {
    static constexpr const char* source = oxComponentSource;
    static constexpr std::uint32_t constructArrayLine = 107;   // from records: the array
    static constexpr std::uint32_t constructElementLine = 118; // from records: an element
    static constexpr std::uint32_t atLine = 142;
    static constexpr std::uint32_t findLine = 150;
    static constexpr std::uint32_t assignArrayLine = 168;
    static constexpr std::uint32_t assignElementLine = 175;
    static constexpr std::uint32_t removeLine = 194;
    static constexpr std::uint32_t addArrayLine = 233;
    static constexpr std::uint32_t addElementLine = 239;
    static constexpr std::uint32_t indexOfLine = 287;
};

class oxComponentList_c : public oxIdKeyedList_c<oxComponent_c, oxComponentListTraits> {
  public:
    using oxIdKeyedList_c::oxIdKeyedList_c;
    oxComponentList_c() noexcept = default;
    // Copies of the n records in order; empty for n = 0 or a null pointer.
    oxComponentList_c(std::uint32_t n, const oxComponent_c* records) {
        buildFromRecords(n, records);
    }
};
