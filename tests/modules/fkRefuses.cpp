// A component module whose object is built but refuses to serve: it leaves status 0x7005.
#include "tests/modules/fkComponentModule.h"
#include "framework/types/oxIdList.h"

namespace {
class fkRefuses_c : public coxBase_c {
  public:
    fkRefuses_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t* status)
        : coxBase_c(directory, kernel, oxIdList_c{1}, "", "") {
        *status = 0x7005;
    }
    bool getAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        *status = 0;
        return true;
    }
};
} // namespace

FK_ENTRY_POINTS(fkRefuses_c)
FK_COMPONENT_VERSION_BLOCK("fixture that leaves 0x7005")
