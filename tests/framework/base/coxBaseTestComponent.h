// A component class for the base object's tests: it answers every get with status 0.
#pragma once
#include "framework/base/coxBase.h"
#include "framework/kernel/coxKernel.h"
#include "framework/model/oxGroup.h"
#include "framework/types/oxIdList.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <filesystem>
#include <string>

// An empty folder of its own for the kernel to start up in: nothing to discover or load.
struct coxEmptyFolder {
    coxEmptyFolder() { std::filesystem::create_directories(path); }
    ~coxEmptyFolder() { std::filesystem::remove_all(path); }
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
        ("coxEmpty-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    oxString_c name() const { return oxString_c(path.string().c_str()); }
};

class coxTestComponent_c : public coxBase_c {
  public:
    coxTestComponent_c(const oxString_c& directory, coxKernel_c* kernel, const char* servedClass,
                       const char* eventClass)
        : coxBase_c(directory, kernel, oxIdList_c{1, 2}, servedClass, eventClass) {}
    bool getAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        *status = 0;
        return true;
    }
};

// Puts the (ID, class) pairs into the provider's groups and has it list them into the
// kernel's group list, as the kernel's start-up does; the listing call is not kept.
inline void coxFillGroups(oxRecordingServiceProvider& sp, coxKernel_c& kernel,
                          std::initializer_list<std::pair<std::uint32_t, const char*>> groups) {
    for (const auto& [id, cls] : groups)
        sp.groups.emplace_back(id, cls);
    std::uint32_t status = 0;
    sp.listGroups(kernel.ownDescription(), kernel.groups(), kernel.spContext(), &status);
    sp.calls.clear();
}
