#include "framework/model/oxGroup.h"

oxGroup_c::oxGroup_c(std::uint32_t id, const oxString_c& groupClass, const oxString_c& secondText,
                     const oxIdList_c& attributeIds, const oxString_c& thirdText,
                     const oxString_c& fourthText)
    : id(id), groupClass(groupClass), secondText(secondText), attributeIds(attributeIds),
      thirdText(thirdText), fourthText(fourthText) {}

bool oxGroup_c::operator==(const oxGroup_c& other) const noexcept {
    return id == other.id && groupClass == other.groupClass && secondText == other.secondText &&
           attributeIds == other.attributeIds && thirdText == other.thirdText &&
           fourthText == other.fourthText;
}

namespace {
auto hasClass(const oxString_c& groupClass) {
    return [&groupClass](const oxGroup_c& g) { return g.groupClass == groupClass; };
}
} // namespace

oxGroup_c* oxGroupList_c::find(const oxString_c& groupClass) const {
    return findWhere(hasClass(groupClass), oxGroupListTraits::findByClassLine);
}

std::uint32_t oxGroupList_c::indexOf(const oxString_c& groupClass) const {
    return indexWhere(hasClass(groupClass), oxGroupListTraits::indexOfByClassLine);
}

bool oxGroupList_c::contains(const oxString_c& groupClass) const {
    return firstIndex(hasClass(groupClass)) != npos;
}

template class oxPtrList_c<oxGroup_c, oxGroupListTraits>;
