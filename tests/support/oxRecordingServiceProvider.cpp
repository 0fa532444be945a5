#include "tests/support/oxRecordingServiceProvider.h"

std::vector<std::uint32_t> oxRecordingServiceProvider::slots() const {
    std::vector<std::uint32_t> result;
    for (const oxRecordedCall& call : calls)
        result.push_back(call.slot);
    return result;
}

std::vector<oxRecordedCall> oxRecordingServiceProvider::callsOf(std::uint32_t slotNumber) const {
    std::vector<oxRecordedCall> result;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(result),
                 [slotNumber](const oxRecordedCall& call) { return call.slot == slotNumber; });
    return result;
}

bool oxRecordingServiceProvider::serve(oxRecordedCall call, std::uint32_t* status,
                                       const std::function<void()>& builtIn) {
    const std::uint32_t n = call.slot;
    call.statusIn = *status;
    calls.push_back(call);
    if (slot[n].status != 0)
        *status = slot[n].status;
    else if (builtIn)
        builtIn();
    if (slot[n].effect)
        slot[n].effect(calls.back());
    return slot[n].status == 0 && slot[n].result;
}
