#include "framework/model/oxComponent.h"

oxComponent_c::oxComponent_c(std::uint32_t id, const oxString_c& name,
                             const oxString_c& firstText, const oxString_c& thirdText)
    : id(id), firstText(firstText), name(name), thirdText(thirdText) {}

bool oxComponent_c::operator==(const oxComponent_c& other) const noexcept {
    return id == other.id && name == other.name && firstText == other.firstText &&
           thirdText == other.thirdText;
}

template class oxPtrList_c<oxComponent_c, oxComponentListTraits>;
