#include "sp/oxSpRequests.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include <algorithm>

namespace {

oxSpAnswer failure(std::uint32_t status, const std::string& error) {
    oxSpAnswer a;
    a.status = status;
    a.error = error;
    return a;
}

std::string hexStatus(std::uint32_t s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string t = "0x";
    for (int i = 12; i >= 0; i -= 4)
        t += hex[(s >> i) & 15];
    return t;
}

bool serves(coxKernel_c& kernel, std::uint32_t componentId, std::uint32_t groupId,
            std::uint32_t attributeId) {
    return kernel.ownDescription().id == componentId &&
           kernel.accessTable().contains(oxAccessEntry_c(attributeId, groupId));
}

} // namespace

oxSpAnswer oxSpRequests_c::request(const std::vector<coxKernel_c*>& kernels,
                                   std::uint32_t componentId, std::uint32_t groupId,
                                   std::uint32_t attributeId, const oxKey_c& key) const {
    for (coxKernel_c* kernel : kernels) {
        if (!kernel || !serves(*kernel, componentId, groupId, attributeId))
            continue;
        oxSpAnswer a;
        a.value = oxAttribValue_c(attributeId);
        oxKey_c rowKey(key);
        std::uint32_t status = 0;
        const std::uint32_t group = groupId;
        if (kernel->getAttribute(a.value, &group, rowKey, 0, 0, &status)) {
            a.fromComponent = true;
            return a;
        }
        if (status != oxStatusAttributeNotAnswered)
            return failure(status, "the component failed to answer (status " +
                                       hexStatus(status) + ")");
        break; // the component leaves this attribute to the MIF
    }
    return staticValue(componentId, groupId, attributeId, key);
}

oxSpAnswer oxSpRequests_c::staticValue(std::uint32_t componentId, std::uint32_t groupId,
                                       std::uint32_t attributeId, const oxKey_c& key) const {
    if (!database_.component(componentId))
        return failure(oxSpStatusNoComponent,
                       "no installed component has the ID " + std::to_string(componentId));
    const auto group = database_.group(componentId, groupId);
    if (!group)
        return failure(oxSpStatusNoGroup, "the component has no group " + std::to_string(groupId));
    const auto attributes = database_.attributes(componentId, groupId);
    const auto at = std::find_if(attributes.begin(), attributes.end(),
                                 [&](const oxMifAttribute& a) { return a.id == attributeId; });
    if (at == attributes.end())
        return failure(oxSpStatusNoAttribute, "group " + std::to_string(groupId) +
                                                  " has no attribute " +
                                                  std::to_string(attributeId));
    std::optional<std::string> text = at->value;
    const auto rows = database_.rows(componentId, groupId);
    if (rows.empty() && key.count() != 0)
        return failure(oxStatusInvalidRowKey, "group " + std::to_string(groupId) +
                                                  " has no rows to pick with a key");
    if (!rows.empty()) {
        const oxMifRow* picked = key.count() == 0 ? &rows.front() : nullptr;
        for (std::size_t r = 0; !picked && r < rows.size(); ++r) {
            bool fits = key.count() == group->keys.size();
            for (std::uint32_t k : group->keys) {
                if (!fits || !key.contains(k)) {
                    fits = false;
                    break;
                }
                const auto column = std::find_if(attributes.begin(), attributes.end(),
                                                 [&](const oxMifAttribute& a) { return a.id == k; });
                const auto& cell = rows[r][static_cast<std::size_t>(column - attributes.begin())];
                fits = cell && *cell == oxSpTextOfValue(key.find(k)->value);
            }
            if (fits)
                picked = &rows[r];
        }
        if (!picked)
            return failure(oxStatusInvalidRowKey, "no row of group " + std::to_string(groupId) +
                                                      " has that key");
        text = (*picked)[static_cast<std::size_t>(at - attributes.begin())];
    }
    if (!text)
        return failure(oxSpStatusNoValue, "attribute " + std::to_string(attributeId) +
                                              " has no static value");
    oxSpAnswer a;
    a.value = oxAttribValue_c(attributeId);
    try {
        a.value.value = oxSpValueFromText(at->type, *text);
    } catch (const oxSpError_c& e) {
        return failure(e.status(), e.what());
    }
    return a;
}

oxKey_c oxSpRequests_c::makeKey(std::uint32_t componentId, std::uint32_t groupId,
                                const std::vector<std::string>& texts) const {
    oxKey_c key;
    if (texts.empty())
        return key;
    const auto group = database_.group(componentId, groupId);
    if (!group)
        throw oxSpError_c(oxSpStatusNoGroup,
                          "the component has no group " + std::to_string(groupId));
    if (texts.size() != group->keys.size())
        throw oxSpError_c(oxSpStatusBadArgument,
                          "group " + std::to_string(groupId) + " takes " +
                              std::to_string(group->keys.size()) + " key values, not " +
                              std::to_string(texts.size()));
    const auto attributes = database_.attributes(componentId, groupId);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto at = std::find_if(attributes.begin(), attributes.end(), [&](const auto& a) {
            return a.id == group->keys[i];
        });
        oxAttribValue_c v(group->keys[i]);
        if (at != attributes.end()) {
            // An enumerated key may be given by its text.
            std::string text = texts[i];
            for (const auto& item : at->enumeration)
                if (item.name == text)
                    text = std::to_string(item.value);
            v.value = oxSpValueFromText(at->type, text);
        }
        key.add(v);
    }
    return key;
}
