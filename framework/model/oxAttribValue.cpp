#include "framework/model/oxAttribValue.h"

oxAttribValue_c::oxAttribValue_c(std::uint32_t attributeId, const oxString_c& text)
    : id(attributeId) {
    value.setString(text);
}

oxAttribValue_c& oxAttribValue_c::operator=(const oxAttribValue_c& other) {
    if (this != &other) {
        value.assign(other.value);
        id = other.id;
    }
    return *this;
}

template class oxPtrList_c<oxAttribValue_c, oxAttribValueListTraits>;
template class oxIdKeyedList_c<oxAttribValue_c, oxAttribValueListTraits>;
