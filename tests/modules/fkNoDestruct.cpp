// A component module that exports coxBaseConstruct but not coxBaseDestruct: the kernel must
// free it at once without constructing anything.
#include "tests/modules/fkComponentModule.h"

FK_EXPORT void coxBaseConstruct(oxString_c*, coxKernel_c*, std::uint32_t* status,
                                coxBase_c** out) {
    *status = 0xDEAD; // never reached when the kernel checks both entry points first
    *out = nullptr;
}

FK_COMPONENT_VERSION_BLOCK("fixture without coxBaseDestruct")
