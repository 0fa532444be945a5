// oxAttribute_c: the description of one attribute of a group, as the service provider fills
// it. The framework reads the ID; the texts, numbers and enumeration are carried unchanged.
// oxAttributeList_c: attribute descriptions, looked up by ID, first match wins.
#pragma once
#include "framework/model/oxModelList.h"
#include "framework/model/oxModelSources.h"
#include "framework/types/oxEnumList.h"
#include "framework/types/oxString.h"

class oxAttribute_c {
  public:
    oxAttribute_c(std::uint32_t id, const oxString_c& firstText, const oxString_c& secondText,
                  const oxString_c& thirdText, std::uint32_t firstNumber,
                  const oxEnumList_c& enumeration, std::uint32_t secondNumber,
                  std::uint32_t thirdNumber, std::uint32_t fourthNumber);
    oxAttribute_c(const oxAttribute_c& other) = default;
    oxAttribute_c& operator=(const oxAttribute_c& other) = default;
    ~oxAttribute_c() = default;

    // Every field equal, compared in field order.
    bool operator==(const oxAttribute_c& other) const;

    std::uint32_t id;
    oxString_c firstText;
    oxString_c secondText;
    oxString_c thirdText;
    std::uint32_t firstNumber;
    oxEnumList_c enumeration;
    std::uint32_t secondNumber;
    std::uint32_t thirdNumber;
    std::uint32_t fourthNumber;
};

// Raise sites of oxAttributeList_c.
struct oxAttributeListTraits {
    static constexpr const char* source = oxAttribSource;
    static constexpr std::uint32_t constructArrayLine = 539;   // from records: the array
    static constexpr std::uint32_t constructElementLine = 550; // from records: an element
    static constexpr std::uint32_t atLine = 574;
    static constexpr std::uint32_t findLine = 582;
    static constexpr std::uint32_t assignArrayLine = 601;
    static constexpr std::uint32_t assignElementLine = 608;
    static constexpr std::uint32_t removeLine = 627;
    static constexpr std::uint32_t addArrayLine = 666;
    static constexpr std::uint32_t addElementLine = 672;
    static constexpr std::uint32_t indexOfLine = 720;
};

class oxAttributeList_c : public oxIdKeyedList_c<oxAttribute_c, oxAttributeListTraits> {
  public:
    using oxIdKeyedList_c::oxIdKeyedList_c;
    oxAttributeList_c() noexcept = default;
    // Copies of the n records in order; empty for n = 0 or a null pointer.
    oxAttributeList_c(std::uint32_t n, const oxAttribute_c* records) {
        buildFromRecords(n, records);
    }
};
