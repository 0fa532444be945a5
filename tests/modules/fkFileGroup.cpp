// A component module with empty group classes: its served group comes from fkFileGroup.grp
// and its event group from fkFileGroup.evt beside it, added by the provider; its destructor
// deletes both.
#include "tests/modules/fkComponentModule.h"
#include "framework/types/oxIdList.h"

namespace {
class fkFileGroup_c : public coxBase_c {
  public:
    fkFileGroup_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{3, 4, 5}, "", "") {}
    bool getAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        *status = 0;
        return true;
    }
};
} // namespace

FK_ENTRY_POINTS(fkFileGroup_c)
FK_COMPONENT_VERSION_BLOCK("fixture with groups from definition files")
