// A component with two rows (key attribute 1 holding 1 and 2) serving attributes 1 and 2 that
// fails in every slot: attribute 1 throws oxFatal_c, any other attribute a standard exception.
#include "framework/diag/oxExceptions.h"
#include "tests/modules/fxRequestRecord.h"
#include <stdexcept>

FX_REQUEST_RECORD

namespace {

[[noreturn]] void fail(std::uint32_t slot, const oxAttribValue_c& value, const oxKey_c& key,
                       std::uint32_t a, std::uint32_t b) {
    fxNote(record, slot, value, key, a, b);
    if (value.id == 1)
        throw oxFatal_c("..\\fxThrower", 1, "fixture failure");
    throw std::runtime_error("fixture failure");
}

class fxThrower_c : public coxBase_c {
  public:
    fxThrower_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{1, 2}, "FX|Thrower|001", "FX|ThrowerEvent|001") {
        fxAddRows(rowKeys(), 2);
    }
    bool getAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                      std::uint32_t*) override {
        fail(0, v, k, a, b);
    }
    bool reserveAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                          std::uint32_t*) override {
        fail(1, v, k, a, b);
    }
    bool releaseAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                          std::uint32_t*) override {
        fail(2, v, k, a, b);
    }
    bool setAttribute(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                      std::uint32_t*) override {
        fail(3, v, k, a, b);
    }
    bool addRow(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                std::uint32_t*) override {
        fail(4, v, k, a, b);
    }
    bool deleteRow(oxAttribValue_c& v, oxKey_c& k, std::uint32_t a, std::uint32_t b,
                   std::uint32_t*) override {
        fail(5, v, k, a, b);
    }
};

} // namespace

FK_ENTRY_POINTS(fxThrower_c)
FK_COMPONENT_VERSION_BLOCK("fixture that throws from every request")
