// A complete component module whose version block carries coxBaseTag only in its string table,
// not in a top-level OXInfo block: the kernel's version test must reject it unloaded.
#include "tests/modules/fkComponentModule.h"
#include "framework/types/oxIdList.h"

namespace {
class fkNoTag_c : public coxBase_c {
  public:
    fkNoTag_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{1}, "FK|NoTag|001", "") {}
    bool getAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        *status = 0;
        return true;
    }
};
} // namespace

FK_ENTRY_POINTS(fkNoTag_c)
OX_VERSION_BLOCK(OX_VERSION_FIXED(1, 0, 0, 0, 1, 0, 0, 0, OX_VFT_DLL)
                     OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\coxBaseTag", "coxBaseTag"))
