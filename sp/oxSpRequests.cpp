#include "sp/oxSpRequests.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"

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
    // A group goes with its component, so the component is looked up only when it is missing.
    const auto group = database_.groupSnapshot(componentId, groupId);
    if (!group && !database_.component(componentId))
        return failure(oxSpStatusNoComponent,
                       "no installed component has the ID " + std::to_string(componentId));
    if (!group)
        return failure(oxSpStatusNoGroup, "the component has no group " + std::to_string(groupId));
    const auto at = group->position(attributeId);
    if (!at)
        return failure(oxSpStatusNoAttribute, "group " + std::to_string(groupId) +
                                                  " has no attribute " +
                                                  std::to_string(attributeId));
    const oxMifAttribute& attribute = group->attributes()[*at];
    std::optional<std::string> text = attribute.value;
    if (group->rows().empty() && key.count() != 0)
        return failure(oxStatusInvalidRowKey, "group " + std::to_string(groupId) +
                                                  " has no rows to pick with a key");
    if (!group->rows().empty()) {
        const oxMifRow* picked = group->row(key);
        if (!picked)
            return failure(oxStatusInvalidRowKey, "no row of group " + std::to_string(groupId) +
                                                      " has that key");
        text = (*picked)[*at];
    }
    if (!text)
        return failure(oxSpStatusNoValue, "attribute " + std::to_string(attributeId) +
                                              " has no static value");
    oxSpAnswer a;
    a.value = oxAttribValue_c(attributeId);
    try {
        a.value.value = oxSpValueFromText(attribute.type, *text);
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
    const auto group = database_.groupSnapshot(componentId, groupId);
    if (!group)
        throw oxSpError_c(oxSpStatusNoGroup,
                          "the component has no group " + std::to_string(groupId));
    const std::vector<std::uint32_t>& keys = group->info().keys;
    if (texts.size() != keys.size())
        throw oxSpError_c(oxSpStatusBadArgument,
                          "group " + std::to_string(groupId) + " takes " +
                              std::to_string(keys.size()) + " key values, not " +
                              std::to_string(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        oxAttribValue_c v(keys[i]);
        if (const auto at = group->position(keys[i])) {
            const oxMifAttribute& attribute = group->attributes()[*at];
            // An enumerated key may be given by its text.
            std::string text = texts[i];
            for (const auto& item : attribute.enumeration)
                if (item.name == text)
                    text = std::to_string(item.value);
            v.value = oxSpValueFromText(attribute.type, text);
        }
        key.add(v);
    }
    return key;
}
