// The osComp module: its two entry points, its static objects and its version block.
//
// The static objects are built by the module's entry when the module is loaded, in this order,
// and destroyed in reverse order when it is unloaded: the served-attribute list, then the
// module's message object (which loads the language modules and warns about a missing one).
// When they cannot be built the load fails and nothing of them stays.
#include "component/osComponent.h"
#include "framework/base/coxModuleStatics.h"
#include "framework/diag/oxMessages.h"
#include "framework/types/oxIdList.h"
#include "platform/oxpResource.h"
#include <cstdint>

#ifndef OX_EXPORT
#define OX_EXPORT __attribute__((visibility("default")))
#endif

namespace {
struct osModuleObjects {
    oxIdList_c servedAttributeIds{1, 2, 3, 4, 6};
    oxMessages_c messages;
};
constinit coxModuleStatics_c<osModuleObjects> statics; // no dynamic initialisation after the entry

bool osModuleEntry(oxp::ModuleHandle self, oxp::ModuleEvent event) noexcept {
    return statics.entry(self, event);
}
} // namespace

OX_MODULE_ENTRY(osModuleEntry)

const oxIdList_c& osServedAttributeIds() noexcept { return statics.objects().servedAttributeIds; }

// Creates one Operating System component, or stores null when its storage cannot be had.
// The status is the loader's: it is neither passed on nor written. A throwing constructor
// frees the storage and the exception leaves here untouched, out unwritten.
extern "C" OX_EXPORT void coxBaseConstruct(oxString_c* directory, coxKernel_c* kernel,
                                           std::uint32_t* /*status*/, coxBase_c** out) {
    static const oxString_c noDirectory;
    osComponent_c* component = new osComponent_c(directory ? *directory : noDirectory, kernel);
    if (out)
        *out = component;
    else
        delete component; // nowhere to hand it: do not leak it
}

// Destroys a component through its virtual destructor and frees its storage; null is ignored.
extern "C" OX_EXPORT void coxBaseDestruct(coxBase_c* component) { delete component; }

OX_VERSION_BLOCK(
    OX_VERSION_FIXED(1, 0, 1, 0, 1, 8, 8, 0, OX_VFT_DLL)
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\Component Name", "Operating System")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\FileDescription",
                     "DMI 2.0 Operating System Component")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\FileVersion", "1.88.01")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\InternalName", "")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\Language", "en|US|iso8859-1")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\MIF Name", "Os.mif")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\OS Target", "Win32")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\OriginalFilename", "")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\ProductVersion", "1, 8, 8, 0")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\Security", "Security")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\Stepping", "0")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\coxBaseTag", "coxBaseTag")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\CompanyName", "OX Instrumentation")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\ProductName", "OX Component Instrumentation")
    OX_VERSION_VALUE("\\StringFileInfo\\040904e4\\LegalCopyright", "")
    // The loader looks for the tag in a top-level block of its own.
    OX_VERSION_VALUE("\\OXInfo\\coxBaseTag", "coxBaseTag"))
