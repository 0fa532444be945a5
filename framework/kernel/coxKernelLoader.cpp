// The kernel's module loader: directory scan, version test, load and unload of component
// modules. Raise sites and reports use the loader's source name.
#include "framework/base/coxBase.h"
#include "framework/base/coxServiceProvider.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "framework/kernel/coxKernelSource.h"
#include "framework/types/oxMemory.h"
#include "framework/types/oxText.h"
#include "platform/oxpDirectory.h"
#include "platform/oxpModule.h"
#include "platform/oxpPath.h"
#include "platform/oxpVersion.h"

namespace {

using coxBaseConstructFn = void (*)(oxString_c*, coxKernel_c*, std::uint32_t*, coxBase_c**);
using coxBaseDestructFn = void (*)(coxBase_c*);

constexpr const char* constructName = "coxBaseConstruct";
constexpr const char* destructName = "coxBaseDestruct";
constexpr const char* componentTag = "\\OXInfo\\coxBaseTag";
constexpr const char* modulePattern = "*.DLL";
constexpr std::uint32_t versionSlack = 4;

coxBaseDestructFn destructOf(oxp::ModuleHandle library) noexcept {
    return reinterpret_cast<coxBaseDestructFn>(oxp::findSymbol(library, destructName));
}

void reportModule(std::uint32_t line, const oxString_c& moduleName) {
    oxMessages_c::instance().reportText(coxKernelLoaderSource, line, moduleName);
}

// Announces the module being constructed for the span of coxBaseConstruct: component objects
// build their definition file names from it. Cleared on every way out.
class coxLoadingName_c {
  public:
    coxLoadingName_c(coxKernel_c& kernel, const oxString_c& name) : kernel_(kernel) {
        kernel_.setLoadingModuleName(name);
    }
    ~coxLoadingName_c() { kernel_.setLoadingModuleName(oxString_c()); } // no allocation
    coxLoadingName_c(const coxLoadingName_c&) = delete;
    coxLoadingName_c& operator=(const coxLoadingName_c&) = delete;

  private:
    coxKernel_c& kernel_;
};

// Closes a directory search on every way out of the scan.
class coxSearch_c {
  public:
    explicit coxSearch_c(oxp::FindHandle handle) noexcept : handle_(handle) {}
    ~coxSearch_c() {
        if (handle_ != oxp::invalidFindHandle)
            oxp::findClose(handle_);
    }
    coxSearch_c(const coxSearch_c&) = delete;
    coxSearch_c& operator=(const coxSearch_c&) = delete;
    bool found() const noexcept { return handle_ != oxp::invalidFindHandle; }
    oxp::FindHandle handle() const noexcept { return handle_; }

  private:
    oxp::FindHandle handle_;
};

// The file the version test read: a bare name is taken in the current directory (the
// kernel's, after the scan changed to it), not searched for, so neither a same-named module
// loaded from elsewhere nor one in the program's directory takes the place of this
// directory's file. The module name stays the bare name.
oxText_c loadPath(const oxString_c& moduleName) {
    const char* name = moduleName.length() != 0 ? moduleName.text() : "";
    oxText_c path(oxp::hasSeparator(name) ? "" : ".\\");
    path.append(name);
    return path;
}

// Takes back a load that failed after the library was loaded.
void abandonLoad(coxKernel_c& kernel, coxBase_c* object, const oxAccessList_c& pairs,
                 oxp::ModuleHandle library, coxBaseDestructFn destruct) noexcept {
    try {
        if (object) {
            coxBaseList_c& objects = kernel.componentObjects();
            if (objects.contains(object->moduleName()) &&
                objects.find(object->moduleName()) == object)
                objects.remove(object->moduleName());
            kernel.accessTable().removeAll(pairs);
        }
    } catch (...) {
        // Only the list and table updates can fail here, each leaving its list unchanged.
    }
    if (object)
        destruct(object);
    if (library != 0)
        oxp::freeModule(library);
}

} // namespace

void coxKernel_c::loadAllModules() {
    std::uint32_t directoryStatus = oxStatusSuccess;
    changeToDirectory(&directoryStatus); // throws when the directory cannot be made current
    oxp::FindData data{};
    const coxSearch_c search(oxp::findFirstFile(modulePattern, &data));
    if (!search.found())
        return;
    do {
        try {
            std::uint32_t status = oxStatusSuccess;
            loadModule(oxString_c(data.fileName), &status);
        } catch (...) {
            oxMessages_c::instance().reportNumbered(coxKernelLoaderSource, 205, oxMsgModuleFailed,
                                                    data.fileName);
            return; // the remaining candidates are not tried
        }
    } while (oxp::findNextFile(search.handle(), &data));
}

bool coxKernel_c::isComponentModule(const oxString_c& moduleName, std::uint32_t* status) {
    *status = oxStatusNotComponentModule;
    if (componentObjects_.contains(moduleName))
        return false;
    const std::uint32_t size = oxp::getFileVersionInfoSize(moduleName.text());
    if (size == 0)
        return false;
    void* block = oxAllocate(std::size_t{size} + versionSlack);
    if (!block)
        throw oxInsufficientMemory_c(coxKernelLoaderSource, 280);
    const void* value = nullptr;
    std::uint32_t length = 0;
    if (oxp::getFileVersionInfo(moduleName.text(), size, block) &&
        oxp::verQueryValue(block, componentTag, &value, &length))
        *status = oxStatusSuccess;
    oxRelease(block);
    return *status == oxStatusSuccess;
}

// After an exception while the object is built or registered, everything the load did is
// taken back: the object leaves the list and the access table and is destroyed through its
// module, and the library is freed. This also covers oxInsufficientMemory_c thrown inside
// coxBaseConstruct, which would otherwise leave the library loaded.
bool coxKernel_c::loadModule(const oxString_c& moduleName, std::uint32_t* status) {
    if (!isComponentModule(moduleName, status))
        return false;
    oxp::ModuleHandle library = 0;
    try {
        library = oxp::loadModule(loadPath(moduleName).text());
    } catch (const oxInsufficientMemory_c&) {
        *status = oxStatusModuleLoadFailed; // the path's own raise showed the box
        return false;
    }
    if (library == 0) {
        reportModule(111, moduleName);
        *status = oxStatusModuleLoadFailed;
        return false;
    }
    const auto construct =
        reinterpret_cast<coxBaseConstructFn>(oxp::findSymbol(library, constructName));
    const coxBaseDestructFn destruct = destructOf(library);
    if (!construct || !destruct) {
        oxp::freeModule(library);
        reportModule(125, moduleName);
        *status = oxStatusModuleLoadFailed;
        return false;
    }

    coxBase_c* object = nullptr;
    oxAccessList_c pairs;
    bool abandoned = false;
    try {
        {
            const coxLoadingName_c loading(*this, moduleName);
            construct(&directory_, this, status, &object);
        }
        if (!object) {
            oxp::freeModule(library);
            library = 0;
            throw oxInsufficientMemory_c(coxKernelLoaderSource, 137);
        }
        if (*status != oxStatusSuccess) {
            destruct(object);
            oxp::freeModule(library);
            return false;
        }
        pairs.assign(oxAccessList_c(object->attributeIds(), object->servedGroup().id));
        object->setModuleHandle(library);
        object->setModuleName(moduleName);
        accessTable_.addAll(pairs);
        componentObjects_.add(object);
        if (reannounce_) {
            serviceProvider_->withdrawComponents(this, spContext_, status);
            if (!serviceProvider_->announceComponents(this, spContext_, status)) {
                // Taken back whole, access pairs included, so the table names no freed object.
                componentObjects_.remove(moduleName);
                accessTable_.removeAll(pairs);
                rowIndexes_.forget(object->rowKeys());
                destruct(object);
                oxp::freeModule(library);
                if (*status == oxStatusSuccess)
                    *status = oxStatusModuleLoadFailed; // refused without a code of its own
            }
        }
    } catch (const oxInsufficientMemory_c&) {
        abandoned = true;
    } catch (...) {
        reportModule(169, moduleName);
        abandoned = true;
    }
    // Taken back once the handler is done: the exception may be the module's own, and its
    // code must stay loaded until the exception is gone (Windows unmaps a freed module at once).
    if (abandoned) {
        if (object)
            rowIndexes_.forget(object->rowKeys());
        abandonLoad(*this, object, pairs, library, destruct);
        *status = oxStatusModuleLoadFailed;
    }
    return *status == oxStatusSuccess;
}

// The name is copied for the reports: callers may pass the object's own module name, which
// goes with the object. Once the object has left the lists its module is freed whatever the
// later steps do; an object that cannot leave them (memory ran out) stays loaded and listed.
bool coxKernel_c::unloadModule(const oxString_c& moduleName, std::uint32_t* status) {
    if (!componentObjects_.contains(moduleName))
        return *status == oxStatusSuccess;
    coxBase_c* object = componentObjects_.find(moduleName);
    const oxp::ModuleHandle library = object->moduleHandle();
    oxString_c name;
    bool listed = true;
    try {
        name.assign(moduleName);
        accessTable_.removeAll(oxAccessList_c(object->attributeIds(), object->servedGroup().id));
        componentObjects_.remove(name);
        listed = false;
        rowIndexes_.forget(object->rowKeys());
        if (reannounce_) {
            serviceProvider_->withdrawComponents(this, spContext_, status);
            serviceProvider_->announceComponents(this, spContext_, status);
        }
    } catch (const oxInsufficientMemory_c&) {
        *status = oxStatusModuleLoadFailed;
    } catch (...) {
        reportModule(248, name);
        *status = oxStatusModuleLoadFailed;
    }
    if (listed)
        return false;
    try {
        if (const coxBaseDestructFn destruct = destructOf(library)) {
            destruct(object);
        } else {
            reportModule(236, name);
            *status = oxStatusModuleLoadFailed;
        }
    } catch (const oxInsufficientMemory_c&) {
        *status = oxStatusModuleLoadFailed;
    } catch (...) {
        reportModule(248, name);
        *status = oxStatusModuleLoadFailed;
    }
    oxp::freeModule(library);
    return *status == oxStatusSuccess;
}

// Each object in list order, once, without a copy of the names (the destructor calls this and
// must not fail for want of memory): an unloaded object leaves its place to the next one, one
// that stays (its unload failed) is stepped over. Objects that could not leave the lists
// (memory ran out) are then destroyed and their modules freed all the same, and the lists are
// emptied without allocating: afterwards no module of this kernel is loaded.
void coxKernel_c::unloadAllModules() {
    std::uint32_t i = 0;
    while (componentObjects_.isValidIndex(i)) {
        const std::uint32_t before = componentObjects_.count();
        std::uint32_t status = oxStatusSuccess;
        unloadModule(componentObjects_.at(i)->moduleName(), &status);
        if (componentObjects_.count() == before)
            ++i;
    }
    for (i = 0; componentObjects_.isValidIndex(i); ++i) {
        coxBase_c* object = componentObjects_.at(i);
        const oxp::ModuleHandle library = object->moduleHandle();
        try {
            if (const coxBaseDestructFn destruct = destructOf(library))
                destruct(object);
        } catch (...) {
            // destroyed as far as it went; its module goes all the same
        }
        oxp::freeModule(library);
    }
    componentObjects_.clear();
    accessTable_.clear();
    rowIndexes_.forgetAll();
}
