// oxSpGroupSnapshot: one group of an installed component as requests read it: its description,
// attributes and table rows, with an attribute found by ID and a row by key without a scan.
// The database hands out the same snapshot while nothing changed, so answering every attribute
// of a group (oxagent show) loads the group once instead of once per attribute.
#pragma once
#include "framework/model/oxKey.h"
#include "sp/oxMifModel.h"
#include "sp/oxSpRecords.h"
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

class oxSpGroupSnapshot_c {
  public:
    oxSpGroupSnapshot_c(oxSpGroupInfo info, std::vector<oxMifAttribute> attributes,
                        std::vector<oxMifRow> rows);

    const oxSpGroupInfo& info() const noexcept { return info_; }
    // In MIF order; a row holds one cell per attribute in the same order.
    const std::vector<oxMifAttribute>& attributes() const noexcept { return attributes_; }
    const std::vector<oxMifRow>& rows() const noexcept { return rows_; }

    // The attribute's position in attributes() and in every row; none when the group lacks it.
    std::optional<std::size_t> position(std::uint32_t attributeId) const;
    // The first row whose key attributes hold the key's values (the key names every key
    // attribute and nothing else); the first row for an empty key; null when none fits.
    const oxMifRow* row(const oxKey_c& key) const;

  private:
    oxSpGroupInfo info_;
    std::vector<oxMifAttribute> attributes_;
    std::vector<oxMifRow> rows_;
    std::unordered_map<std::uint32_t, std::size_t> positions_;
    std::map<std::vector<std::string>, std::size_t> rowsByKey_; // key cells in Key order
};
