#include "framework/types/oxEnumList.h"

template class oxPtrList_c<oxEnumItem_c, oxEnumListTraits>;

namespace {
auto named(const oxString_c& name) {
    return [&name](const oxEnumItem_c& item) { return item.name() == name; };
}
} // namespace

oxEnumList_c::oxEnumList_c(std::uint32_t n, const oxEnumItem_c* items) {
    if (!items)
        return;
    build(n, [items](std::uint32_t i) { return oxNew<oxEnumItem_c>(items[i]); }, 90, 101);
}

oxEnumItem_c* oxEnumList_c::find(const oxString_c& name) const {
    return findWhere(named(name), 133);
}

std::uint32_t oxEnumList_c::indexOf(const oxString_c& name) const {
    return indexWhere(named(name), 270);
}

bool oxEnumList_c::contains(const oxString_c& name) const {
    return firstIndex(named(name)) != npos;
}
