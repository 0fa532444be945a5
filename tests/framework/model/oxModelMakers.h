// Builds distinct elements for the model list tests: make(id, variant) gives an element with
// that ID; elements of the same ID and another variant are unequal.
#pragma once
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxAttribute.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "framework/model/oxKey.h"
#include <string>

inline oxString_c oxTextOf(const char* prefix, std::uint32_t n) {
    return oxString_c((prefix + std::to_string(n)).c_str());
}

template <class L> struct oxMaker;

template <> struct oxMaker<oxKey_c> {
    static oxAttribValue_c make(std::uint32_t id, std::uint32_t variant) {
        oxAttribValue_c a(id);
        a.value.number6 = variant;
        return a;
    }
};
template <> struct oxMaker<oxAttribValueList_c> : oxMaker<oxKey_c> {};

template <> struct oxMaker<oxGroupList_c> {
    static oxGroup_c make(std::uint32_t id, std::uint32_t variant) {
        return oxGroup_c(id, oxTextOf("DMTF|G|", variant), "second", oxIdList_c{1, 2}, "", "");
    }
};

template <> struct oxMaker<oxAttributeList_c> {
    static oxAttribute_c make(std::uint32_t id, std::uint32_t variant) {
        return oxAttribute_c(id, "first", "", "", variant, oxEnumList_c(), 0, 0, 0);
    }
};

template <> struct oxMaker<oxComponentList_c> {
    static oxComponent_c make(std::uint32_t id, std::uint32_t variant) {
        return oxComponent_c(id, oxTextOf("name", variant), "", "");
    }
};
