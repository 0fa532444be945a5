// Shared pieces of the kernel's fixture component modules: the export mark, the version block
// that makes a file a component module, and the two entry points around a component class.
//
// Each fixture's coxBaseDestruct first tells the provider which object it destroys, as a
// deletion of the marker group "destruct <module name>" (slot 22), so tests see that every
// object goes through its own module's entry point, and in which order.
#pragma once
#include "framework/base/coxBase.h"
#include "framework/base/coxModuleStatics.h"
#include "framework/base/coxServiceProvider.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/kernel/coxKernel.h"
#include "framework/model/oxGroup.h"
#include "platform/oxpResource.h"
#include <cstdint>
#include <string>

#define FK_EXPORT extern "C" OX_EXPORT

// The version block of a component module: the tag in its own top-level block.
#define FK_COMPONENT_VERSION_BLOCK(description)                                                \
    OX_VERSION_BLOCK(OX_VERSION_FIXED(1, 0, 0, 0, 1, 0, 0, 0, OX_VFT_DLL)                      \
                         OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\FileDescription",       \
                                          description)                                         \
                             OX_VERSION_VALUE("\\OXInfo\\coxBaseTag", "coxBaseTag"))

// Without memory for the marker the object is destroyed unmarked.
inline void fkMarkDestruct(coxBase_c* component) {
    coxKernel_c* kernel = component ? component->kernel() : nullptr;
    if (!kernel || !kernel->serviceProvider())
        return;
    try {
        const oxString_c& name = component->moduleName();
        oxGroup_c marker;
        const std::string text = "destruct " + std::string(name.length() ? name.text() : "");
        marker.groupClass.assign(text.c_str());
        std::uint32_t status = 0;
        kernel->serviceProvider()->deleteGroup(kernel->ownDescription(), marker,
                                               component->spContext(), &status);
    } catch (const oxInsufficientMemory_c&) {
    }
}

// coxBaseConstruct builds a T (directory, kernel, status); coxBaseDestruct marks and deletes.
// The module's own message object lives with the module, as osComp's does, so that reports
// made inside the module leave nothing behind once it is freed.
#define FK_ENTRY_POINTS(T)                                                                     \
    namespace {                                                                                \
    struct fkModuleObjects {                                                                   \
        oxMessages_c messages;                                                                 \
    };                                                                                         \
    constinit coxModuleStatics_c<fkModuleObjects> fkStatics;                                   \
    bool fkEntry(oxp::ModuleHandle self, oxp::ModuleEvent event) noexcept {                    \
        return fkStatics.entry(self, event);                                                   \
    }                                                                                          \
    }                                                                                          \
    OX_MODULE_ENTRY(fkEntry)                                                                   \
    FK_EXPORT void coxBaseConstruct(oxString_c* directory, coxKernel_c* kernel,               \
                                    std::uint32_t* status, coxBase_c** out) {                 \
        *out = new T(*directory, kernel, status);                                              \
    }                                                                                          \
    FK_EXPORT void coxBaseDestruct(coxBase_c* component) {                                     \
        fkMarkDestruct(component);                                                             \
        delete component;                                                                      \
    }
