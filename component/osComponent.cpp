#include "component/osComponent.h"
#include "framework/diag/oxStatus.h"
#include "framework/model/oxAttribValue.h"

osComponent_c::osComponent_c(const oxString_c& directory, coxKernel_c* kernel)
    : coxBase_c(directory, kernel, osServedAttributeIds(), servedClass, eventClass) {}

bool osComponent_c::getAttribute(oxAttribValue_c& value, oxKey_c&, std::uint32_t,
                                 std::uint32_t, std::uint32_t* status) {
    switch (value.id) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
        *status = oxStatusAttributeNotAnswered;
        return false;
    case 6:
        value.value.kind = 6;
        value.value.number6 = 7;
        return *status == oxStatusSuccess;
    default:
        *status = oxStatusAttributeNotServed;
        return false;
    }
}
