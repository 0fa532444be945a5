// oxAgentService_c: a way in to the instrumentation that `run` keeps beside its kernels (the
// control socket; any further front end the same way). Made before the kernels start, so that
// what it claims is refused before anything is installed; started once they are up; told of
// every event; stopped before they go.
#pragma once
#include "sp/oxSpRecords.h"

namespace oxagent {

class oxAgentService_c {
  public:
    virtual ~oxAgentService_c() = default;
    // The kernels are up: begin serving.
    virtual void start() = 0;
    // Each turn of run's loop (about every 50 ms), on run's thread.
    virtual void poll() {}
    // An event a component raised, on the thread that raised it.
    virtual void event(const oxSpEvent&) {}
    // Stop serving; the kernels are still up. Called in the reverse order of start.
    virtual void stop() = 0;
};

} // namespace oxagent
