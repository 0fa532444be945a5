#include "sp/oxSpGroupSnapshot.h"
#include "framework/model/oxAttribValue.h"
#include "sp/oxSpValueText.h"

oxSpGroupSnapshot_c::oxSpGroupSnapshot_c(oxSpGroupInfo info,
                                         std::vector<oxMifAttribute> attributes,
                                         std::vector<oxMifRow> rows)
    : info_(std::move(info)), attributes_(std::move(attributes)), rows_(std::move(rows)) {
    for (std::size_t i = 0; i < attributes_.size(); ++i)
        positions_.emplace(attributes_[i].id, i); // the first of an ID wins
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        std::vector<std::string> cells;
        for (std::uint32_t k : info_.keys) {
            const auto at = position(k);
            if (!at || *at >= rows_[r].size() || !rows_[r][*at])
                break;
            cells.push_back(*rows_[r][*at]);
        }
        if (cells.size() == info_.keys.size())
            rowsByKey_.emplace(std::move(cells), r); // the first row of a key wins
    }
}

std::optional<std::size_t> oxSpGroupSnapshot_c::position(std::uint32_t attributeId) const {
    const auto found = positions_.find(attributeId);
    if (found == positions_.end())
        return std::nullopt;
    return found->second;
}

const oxMifRow* oxSpGroupSnapshot_c::row(const oxKey_c& key) const {
    if (rows_.empty())
        return nullptr;
    if (key.count() == 0)
        return &rows_.front();
    if (key.count() != info_.keys.size())
        return nullptr;
    std::vector<std::string> texts;
    for (std::uint32_t k : info_.keys) {
        if (!key.contains(k))
            return nullptr;
        texts.push_back(oxSpTextOfValue(key.find(k)->value));
    }
    const auto found = rowsByKey_.find(texts);
    return found == rowsByKey_.end() ? nullptr : &rows_[found->second];
}
