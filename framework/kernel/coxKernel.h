// coxKernel_c: stands for one instrumentation directory inside the hosting agent. It installs
// the directory's component in the service provider, loads the component modules, routes the
// provider's requests to their component objects and drives their timers.
//
// Present so far: the members in their final order, the constructor that stores the directory
// and the provider, and the accessors the component objects use. Not built yet: start-up
// (description discovery, installation, group listing, module loading, duplicate check),
// start/stop/poll, the module loader and the request handlers. Until then the kernel installs
// nothing and loads nothing; whoever loads a module sets the name of the module being loaded.
#pragma once
#include "framework/base/coxBaseList.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "framework/types/oxAccessList.h"
#include "framework/types/oxOctetString.h"
#include "framework/types/oxString.h"
#include <atomic>
#include <cstdint>

class coxServiceProvider_c;

class coxKernel_c {
  public:
    // Stores the directory and the provider; the status is left as it came.
    coxKernel_c(const oxString_c& directory, coxServiceProvider_c* serviceProvider,
                std::uint32_t* status);
    virtual ~coxKernel_c();
    coxKernel_c(const coxKernel_c&) = delete;
    coxKernel_c& operator=(const coxKernel_c&) = delete;

    bool started() const noexcept { return started_; }
    bool installedFromMIF() const noexcept { return installedFromMIF_; }
    bool wideStrings() const noexcept { return wideStrings_; }
    bool reannounce() const noexcept { return reannounce_; }

    const oxString_c& directory() const noexcept { return directory_; }
    const oxString_c& language() const noexcept { return language_; }
    oxComponent_c& ownDescription() noexcept { return ownDescription_; }
    oxGroupList_c& groups() noexcept { return groups_; }
    oxOctetString_c& spContext() noexcept { return spContext_; }
    coxServiceProvider_c* serviceProvider() const noexcept { return serviceProvider_; }
    coxBaseList_c& componentObjects() noexcept { return componentObjects_; }
    oxAccessList_c& accessTable() noexcept { return accessTable_; }
    std::uint32_t busyGuard() const noexcept { return busy_.load(); }

    // The file name of the module whose component object is being constructed: component
    // objects build their definition file names from it, since the object's own module name
    // is written only after construction. Empty outside a load.
    const oxString_c& loadingModuleName() const noexcept { return loadingModuleName_; }
    void setLoadingModuleName(const oxString_c& name) { loadingModuleName_.assign(name); }

  private:
    bool started_ = false;
    oxAccessList_c accessTable_;
    coxBaseList_c componentObjects_;
    oxComponent_c ownDescription_;
    std::atomic<std::uint32_t> busy_{0};
    oxString_c directory_;
    bool installedFromMIF_ = false;
    oxGroupList_c groups_;
    oxString_c language_;
    oxOctetString_c spContext_;
    bool reannounce_ = false;
    coxServiceProvider_c* serviceProvider_ = nullptr;
    bool wideStrings_ = false;
    oxString_c loadingModuleName_;
};
