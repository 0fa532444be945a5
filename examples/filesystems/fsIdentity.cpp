// The fsCompId module: the ComponentID group of the File Systems component. Verify answers from
// the component's own checks: the mount table reads and statvfs answers for the root file
// system. Attributes 1 to 5 keep the description file's static values.
#include "fsMounts.h"
#include "framework/base/coxBase.h"
#include "framework/base/coxModuleStatics.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxIdList.h"
#include <cstdint>

namespace {

enum Verify : std::uint32_t { notFunctioning = 6, functioning = 7 };

Verify verify() {
    const std::vector<fsMount> mounted = fsMountedFileSystems();
    for (const fsMount& m : mounted)
        if (m.mountPoint == "/")
            return functioning;
    return notFunctioning;
}

class fsIdentity_c : public coxBase_c {
  public:
    fsIdentity_c(const oxString_c& directory, coxKernel_c* kernel)
        : coxBase_c(directory, kernel, oxIdList_c{1, 2, 3, 4, 5, 6}, "DMTF|ComponentID|001", "") {}

    bool getAttribute(oxAttribValue_c& value, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        if (value.id != 6) {
            *status = value.id >= 1 && value.id <= 5 ? oxStatusAttributeNotAnswered
                                                     : oxStatusAttributeNotServed;
            return false;
        }
        value.value.kind = 6;
        value.value.number6 = verify();
        return *status == oxStatusSuccess;
    }
};

struct fsModuleObjects {
    oxMessages_c messages;
};
constinit coxModuleStatics_c<fsModuleObjects> statics;

bool fsModuleEntry(oxp::ModuleHandle self, oxp::ModuleEvent event) noexcept {
    return statics.entry(self, event);
}

} // namespace

OX_MODULE_ENTRY(fsModuleEntry)

extern "C" OX_EXPORT void coxBaseConstruct(oxString_c* directory, coxKernel_c* kernel,
                                           std::uint32_t* /*status*/, coxBase_c** out) {
    *out = new fsIdentity_c(*directory, kernel);
}

extern "C" OX_EXPORT void coxBaseDestruct(coxBase_c* component) { delete component; }
