#include "framework/types/oxAccessEntry.h"

bool oxAccessEntry_c::operator==(const oxAccessEntry_c& other) const noexcept {
    return attributeId_ == other.attributeId_ && groupId_ == other.groupId_;
}
