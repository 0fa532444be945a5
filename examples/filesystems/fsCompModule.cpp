// The fsComp module: the File System table's entry points and the timer callback that finds
// its object. The module may serve several kernels of one process (the same file loads once),
// so each object registers under a number of its own, the argument its timer passes back.
#include "fsComponent.h"
#include "framework/base/coxModuleStatics.h"
#include "framework/diag/oxMessages.h"
#include <cstdint>
#include <utility>
#include <vector>

namespace {

struct fsModuleObjects {
    oxMessages_c messages;
    std::vector<std::pair<std::uint32_t, fsComponent_c*>> live;
    std::uint32_t lastNumber = 0;
};
constinit coxModuleStatics_c<fsModuleObjects> statics;

bool fsModuleEntry(oxp::ModuleHandle self, oxp::ModuleEvent event) noexcept {
    return statics.entry(self, event);
}

void onTimer(std::uint32_t number) {
    for (const auto& [n, component] : statics.objects().live)
        if (n == number)
            component->check();
}

} // namespace

OX_MODULE_ENTRY(fsModuleEntry)

extern "C" OX_EXPORT void coxBaseConstruct(oxString_c* directory, coxKernel_c* kernel,
                                           std::uint32_t* /*status*/, coxBase_c** out) {
    fsModuleObjects& objects = statics.objects();
    objects.live.reserve(objects.live.size() + 1); // so that the push below cannot throw
    const std::uint32_t number = ++objects.lastNumber;
    fsComponent_c* component = new fsComponent_c(*directory, kernel, &onTimer, number);
    if (component)
        objects.live.emplace_back(number, component);
    *out = component;
}

extern "C" OX_EXPORT void coxBaseDestruct(coxBase_c* component) {
    auto& live = statics.objects().live;
    std::erase_if(live, [&](const auto& entry) { return entry.second == component; });
    delete component;
}
