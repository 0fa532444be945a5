// A component module for the host's tests: every second its timer raises an event of its event
// group with the tick count as attribute 1; attribute 1 of its served group answers the count.
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxIdList.h"
#include "framework/types/oxTimer.h"
#include "tests/modules/fkComponentModule.h"

namespace {

coxBase_c* ticker = nullptr; // the one object of this module; its timer runs only while it lives
std::uint32_t ticks = 0;

void tick(std::uint32_t) {
    oxAttribValueList_c values;
    oxAttribValue_c count(1);
    count.value.number6 = ++ticks;
    values.add(count);
    std::uint32_t status = 0;
    ticker->raiseEvent(values, 0, 0, 0, &status);
}

class faTicker_c : public coxBase_c {
  public:
    faTicker_c(const oxString_c& directory, coxKernel_c* kernel, std::uint32_t*)
        : coxBase_c(directory, kernel, oxIdList_c{1}, "FA|Ticker|001", "FA|TickerEvent|001") {
        oxTimer_c timer(1, 1, oxTimer_c::seconds, &tick, 0);
        timer.start();
        timers().add(timer);
        ticker = this;
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

FK_ENTRY_POINTS(faTicker_c)
FK_COMPONENT_VERSION_BLOCK("fixture that raises an event every second")
