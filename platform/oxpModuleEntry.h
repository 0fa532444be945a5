// A module's entry point, as DllMain is on Windows: the module's process-attach and -detach
// work. Here the module file's initialisation and finalisation sections call it; an attach that
// fails makes the load under way fail (0) as LoadLibraryA does, and the module is unloaded again,
// its detach run, as Windows does after a refused DLL_PROCESS_ATTACH.
#pragma once
#include "platform/oxpModule.h"

namespace oxp {

enum class ModuleEvent { processAttach, processDetach };

// The entry: (the module's own handle, the event) → false when the attach fails. Modules get
// handle 0 here (their handle exists only once the load is done); disableThreadLibraryCalls
// accepts it, as there are no thread notifications to switch off.
using ModuleEntry = bool (*)(ModuleHandle self, ModuleEvent event);

// Called from a module's initialisation when its entry refused the attach.
void refuseModuleAttach() noexcept;

} // namespace oxp

// Defines the module's entry: put it once in one source of each module file. A C++ exception
// must not leave the entry: it answers false instead.
#define OX_MODULE_ENTRY(entry)                                                                 \
    namespace {                                                                                \
    __attribute__((constructor)) void oxModuleAttach() {                                       \
        if (!(entry)(0, oxp::ModuleEvent::processAttach))                                      \
            oxp::refuseModuleAttach();                                                         \
    }                                                                                          \
    __attribute__((destructor)) void oxModuleDetach() {                                        \
        (entry)(0, oxp::ModuleEvent::processDetach);                                           \
    }                                                                                          \
    }
