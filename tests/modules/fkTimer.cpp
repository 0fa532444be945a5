// A component module with one running timer of one second whose callback counts. The count is
// also the answer to attribute 1. fkTimerTicks reads the count; fkTimerFail(1) makes the next
// callbacks throw, as a component whose timers break. Copies of the file under other names
// are separate modules with counts of their own.
#include "tests/modules/fkComponentModule.h"
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxIdList.h"
#include "framework/types/oxTimer.h"
#include <stdexcept>

namespace {

std::uint32_t ticks = 0;
bool failing = false;

void countTick(std::uint32_t) {
    if (failing)
        throw std::runtime_error("fixture timer failure");
    ++ticks;
}

class fkTimer_c : public coxBase_c {
  public:
    fkTimer_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{1, 2}, "FK|Timer|001", "FK|TimerEvent|001") {
        oxTimer_c timer(1, 1, oxTimer_c::seconds, &countTick, 0);
        timer.start();
        timers().add(timer);
    }
    bool getAttribute(oxAttribValue_c& value, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t* status) override {
        value.value.kind = 6;
        value.value.number6 = ticks;
        *status = 0;
        return true;
    }
};

} // namespace

FK_ENTRY_POINTS(fkTimer_c)
FK_EXPORT std::uint32_t fkTimerTicks() { return ticks; }
FK_EXPORT void fkTimerFail(int on) { failing = on != 0; }
FK_COMPONENT_VERSION_BLOCK("fixture with a counting timer")
