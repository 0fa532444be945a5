// A component with two rows (key attribute 1 holding 1 and 2) serving attribute 1 that asks to
// be unloaded (0x8001) from every slot.
#include "tests/modules/fxRequestRecord.h"

FX_REQUEST_RECORD

namespace {

class fxUnloadMe_c : public coxBase_c {
  public:
    fxUnloadMe_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{1}, "FX|UnloadMe|001", "FX|UnloadMeEvent|001") {
        fxAddRows(rowKeys(), 2);
    }
    bool getAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status) override {
        return unloadMe(0, v, k, a, b, status);
    }
    bool reserveAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                          std::uint32_t* status) override {
        return unloadMe(1, v, k, a, b, status);
    }
    bool releaseAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                          std::uint32_t* status) override {
        return unloadMe(2, v, k, a, b, status);
    }
    bool setAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                      std::uint32_t* status) override {
        return unloadMe(3, v, k, a, b, status);
    }
    bool addRow(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                std::uint32_t* status) override {
        return unloadMe(4, v, k, a, b, status);
    }
    bool deleteRow(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                   std::uint32_t* status) override {
        return unloadMe(5, v, k, a, b, status);
    }

  private:
    static bool unloadMe(std::uint32_t slot, const oxAttribValue_c& v, const oxKey_c& k,
                         std::uint32_t a, std::uint32_t b, std::uint32_t* status) {
        fxNote(record, slot, v, k, a, b);
        *status = 0x8001;
        return false;
    }
};

} // namespace

FK_ENTRY_POINTS(fxUnloadMe_c)
FK_COMPONENT_VERSION_BLOCK("fixture that asks to be unloaded from every request")
