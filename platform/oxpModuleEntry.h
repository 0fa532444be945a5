// A module's entry point, as DllMain is on Windows: the module's process-attach and -detach
// work. On Windows it is the module's DllMain; on POSIX the module file's initialisation and
// finalisation sections call it. An attach that fails makes the load under way fail (0) as
// LoadLibraryA does, and the module is unloaded again, its detach run.
#pragma once
#include "platform/oxpModule.h"

namespace oxp {

enum class ModuleEvent { processAttach, processDetach };

// The entry: (the module's own handle, the event) → false when the attach fails. On POSIX
// modules get handle 0 (their handle exists only once the load is done) and
// disableThreadLibraryCalls accepts it, as there are no thread notifications to switch off.
// On Windows the handle names the module's own instance, as hinstDLL does.
using ModuleEntry = bool (*)(ModuleHandle self, ModuleEvent event);

#ifdef _WIN32
// Runs a module's entry from its DllMain; instance is hinstDLL.
bool runModuleEntry(void* instance, ModuleEvent event, ModuleEntry entry) noexcept;
#else
// Called from a module's initialisation when its entry refused the attach.
void refuseModuleAttach() noexcept;
#endif

} // namespace oxp

// Defines the module's entry: put it once in one source of each module file. A C++ exception
// must not leave the entry: it answers false instead.
#ifdef _WIN32
#define OX_MODULE_ENTRY(entry)                                                                 \
    extern "C" int __stdcall DllMain(void* instance, unsigned long reason, void*) {            \
        if (reason == 1 /* DLL_PROCESS_ATTACH */)                                              \
            return oxp::runModuleEntry(instance, oxp::ModuleEvent::processAttach, (entry));    \
        if (reason == 0 /* DLL_PROCESS_DETACH */)                                              \
            oxp::runModuleEntry(instance, oxp::ModuleEvent::processDetach, (entry));           \
        return 1;                                                                              \
    }
#else
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
#endif
