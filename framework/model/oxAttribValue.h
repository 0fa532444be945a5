// oxAttribValue_c: one attribute's value with the attribute's ID.
// oxAttribValueList_c: the values of one row that are to be read or written.
// oxAttribValueTable_c: several such rows, laid out items first, then count.
#pragma once
#include "framework/model/oxModelList.h"
#include "framework/model/oxModelSources.h"
#include "framework/types/oxValue.h"

class oxAttribValue_c {
  public:
    // A default value (kind 6) for the attribute.
    explicit oxAttribValue_c(std::uint32_t attributeId) noexcept : id(attributeId) {}
    // A value of kind 8 holding a copy of the text.
    oxAttribValue_c(std::uint32_t attributeId, const oxString_c& text);
    oxAttribValue_c(const oxAttribValue_c& other) = default;
    // Copies the ID and the value by the value's assign rule.
    oxAttribValue_c& operator=(const oxAttribValue_c& other);
    ~oxAttribValue_c() = default;

    // Same attribute ID and equal values.
    bool operator==(const oxAttribValue_c& other) const noexcept {
        return id == other.id && value == other.value;
    }

    oxValue_c value;
    std::uint32_t id = 0;
};

// Raise sites of oxAttribValueList_c.
struct oxAttribValueListTraits {
    static constexpr const char* source = oxAttribSource;
    static constexpr std::uint32_t constructArrayLine = 62;   // from an ID list: the array
    static constexpr std::uint32_t constructElementLine = 73; // from an ID list: an element
    static constexpr std::uint32_t atLine = 97;
    static constexpr std::uint32_t findLine = 105;
    static constexpr std::uint32_t assignArrayLine = 124;
    static constexpr std::uint32_t assignElementLine = 131;
    static constexpr std::uint32_t removeLine = 150;
    static constexpr std::uint32_t addArrayLine = 189;
    static constexpr std::uint32_t addElementLine = 195;
    static constexpr std::uint32_t indexOfLine = 244;
};

class oxAttribValueList_c : public oxIdKeyedList_c<oxAttribValue_c, oxAttribValueListTraits> {
  public:
    using oxIdKeyedList_c::oxIdKeyedList_c;
    oxAttribValueList_c() noexcept = default;
    // One default value per ID, in the ID list's order.
    explicit oxAttribValueList_c(const oxIdList_c& ids) { buildFromIds(ids); }
};

// Raise sites of oxAttribValueTable_c.
struct oxAttribValueTableTraits {
    static constexpr const char* source = oxAttribSource;
    static constexpr std::uint32_t atLine = 294;
    static constexpr std::uint32_t removeLine = 312;
    static constexpr std::uint32_t addArrayLine = 351;
    static constexpr std::uint32_t addElementLine = 357;
    static constexpr std::uint32_t indexOfLine = 406;
};

class oxAttribValueTable_c
    : public oxRowList_c<oxAttribValueList_c, oxAttribValueTableTraits,
                         oxItemsThenCount<oxAttribValueList_c>> {
  public:
    using oxRowList_c::oxRowList_c;
};
