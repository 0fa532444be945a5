// bxRows.dll: a component module serving one table group (BX|Rows|001) whose row count comes
// from the file bxRows.rows in its directory, so the get-next walk can be timed on any size.
// Attribute 1 is the row key; attribute 2 answers the row's number.
#include "framework/base/coxBase.h"
#include "framework/base/coxModuleStatics.h"
#include "framework/diag/oxMessages.h"
#include "framework/model/oxAttribValue.h"
#include "platform/oxpResource.h"
#include <cstdint>
#include <fstream>

#define BX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The kernel makes its directory current before it loads modules.
std::uint32_t rowCount() {
    std::uint32_t rows = 0;
    std::ifstream("bxRows.rows") >> rows;
    return rows;
}

class bxRows_c : public coxBase_c {
  public:
    bxRows_c(const oxString_c& directory, coxKernel_c* kernel)
        : coxBase_c(directory, kernel, oxIdList_c{1, 2}, "BX|Rows|001", "BX|RowsEvent|001") {
        const std::uint32_t rows = rowCount();
        for (std::uint32_t row = 1; row <= rows; ++row) {
            oxKey_c key(oxIdList_c{1});
            key.at(0)->value.number6 = row;
            rowKeys().add(key);
        }
    }
    bool getAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        value.value.kind = 6;
        value.value.number6 = key.count() ? key.at(0)->value.number6 : 0;
        *status = 0;
        return true;
    }
};

struct bxModuleObjects {
    oxMessages_c messages;
};
constinit coxModuleStatics_c<bxModuleObjects> bxStatics;
bool bxEntry(oxp::ModuleHandle self, oxp::ModuleEvent event) noexcept {
    return bxStatics.entry(self, event);
}

} // namespace

OX_MODULE_ENTRY(bxEntry)

BX_EXPORT void coxBaseConstruct(oxString_c* directory, coxKernel_c* kernel, std::uint32_t*,
                                coxBase_c** out) {
    *out = new bxRows_c(*directory, kernel);
}
BX_EXPORT void coxBaseDestruct(coxBase_c* component) {
    delete component;
}

OX_VERSION_BLOCK(OX_VERSION_FIXED(1, 0, 0, 0, 1, 0, 0, 0, OX_VFT_DLL)
                     OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\FileDescription",
                                      "bench table of a configurable size")
                         OX_VERSION_VALUE("\\OXInfo\\coxBaseTag", "coxBaseTag"))
