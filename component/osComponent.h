// osComponent_c: the Operating System component. It serves the group "DMTF|ComponentID|001"
// of the component described by Os.mif and answers its attribute 6 itself; registration,
// row keys, timers and the remaining request operations come from coxBase_c.
#pragma once
#include "framework/base/coxBase.h"

// The served attribute IDs 1, 2, 3, 4 and 6: one list of static lifetime in the module,
// shared by every osComponent_c (each object keeps its own copy).
const oxIdList_c& osServedAttributeIds() noexcept;

class osComponent_c : public coxBase_c {
  public:
    static constexpr const char* servedClass = "DMTF|ComponentID|001";
    static constexpr const char* eventClass = ""; // added from the module's event file

    osComponent_c(const oxString_c& directory, coxKernel_c* kernel);

    // Attribute 6: kind 6, number 7, status untouched; 1 to 5: 0x2008; any other: 0x2007.
    bool getAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status) override;
};
