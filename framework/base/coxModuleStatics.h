// coxModuleStatics_c: the static objects of a component module, built by the module's entry
// at process attach and destroyed at detach in reverse order. A failure while they are built
// (memory running out, a throwing constructor) destroys what was built and refuses the attach:
// the load fails and the host goes on, as when a DLL's entry refuses to attach.
#pragma once
#include "framework/diag/oxMessages.h"
#include "platform/oxpModuleEntry.h"
#include <new>

// Declare the one instance constinit: it must be ready before the module's entry runs, with no
// dynamic initialisation of its own to run after it.
template <class Objects> class coxModuleStatics_c {
  public:
    // The module's entry: attach builds the objects, then switches off thread notifications.
    bool entry(oxp::ModuleHandle self, oxp::ModuleEvent event) noexcept {
        if (event == oxp::ModuleEvent::processDetach) {
            if (objects_)
                objects_->~Objects();
            objects_ = nullptr;
            oxMessages_c::releaseFallback(); // a report made without a message object built it
            return true;
        }
        try {
            objects_ = new (storage_) Objects;
        } catch (...) {
            return false; // the members built so far are gone; detach follows
        }
        return oxp::disableThreadLibraryCalls(self);
    }
    // Valid between a successful attach and the detach.
    Objects& objects() noexcept { return *objects_; }

  private:
    alignas(Objects) unsigned char storage_[sizeof(Objects)]{};
    Objects* objects_ = nullptr;
};
