// coxKernel_c: stands for one instrumentation directory inside the hosting agent. It installs
// the directory's component in the service provider, loads the component modules, routes the
// provider's requests to their component objects and drives their timers.
//
// The implementation is spread over three files: coxKernel.cpp (start-up, start/stop/poll,
// teardown, directories), coxKernelLoader.cpp (module scan, load, unload) and
// coxKernelRequests.cpp (the request handlers).
#pragma once
#include "framework/base/coxBaseList.h"
#include "framework/kernel/coxBusyGuard.h"
#include "framework/kernel/coxRowIndex.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "framework/types/oxAccessList.h"
#include "framework/types/oxOctetString.h"
#include "framework/types/oxString.h"
#include <atomic>
#include <cstdint>

class coxServiceProvider_c;
class oxAttribValue_c;
class oxKey_c;

class coxKernel_c {
  public:
    // Start-up on a directory: installs its component from its MIF file or else its MIX file,
    // loads its component modules and checks the provider for an older copy. The status must
    // be 0 on entry. Throws oxInvalidDirectory_c, oxInsufficientMemory_c or the MIX reader's
    // oxFatal_c.
    coxKernel_c(const oxString_c& directory, coxServiceProvider_c* serviceProvider,
                std::uint32_t* status);
    // Start-up with a MIF name the provider installs from, without any discovery.
    coxKernel_c(const oxString_c& mifName, const oxString_c& directory,
                coxServiceProvider_c* serviceProvider, std::uint32_t* status);
    // Stops, deletes a MIF-installed component, withdraws, unloads every module.
    virtual ~coxKernel_c();
    coxKernel_c(const coxKernel_c&) = delete;
    coxKernel_c& operator=(const coxKernel_c&) = delete;

    // Guarded; see the busy guard.
    bool start(std::uint32_t* status);
    bool stop(std::uint32_t* status);
    // One second for the component objects' timers.
    void poll();

    bool useCurrentDirectory(std::uint32_t* status);
    bool changeToDirectory(std::uint32_t* status);

    // Module loader. Loading and unloading take no guard.
    void loadAllModules();
    bool loadModule(const oxString_c& moduleName, std::uint32_t* status);
    bool isComponentModule(const oxString_c& moduleName, std::uint32_t* status);
    bool unloadModule(const oxString_c& moduleName, std::uint32_t* status);
    void unloadAllModules();

    // Request handlers. The guarded ones hold the busy guard and convert text values between
    // the provider's form and the component's; the unguarded ones (used by group proxies from
    // inside the process) do neither. Each returns whether the status is 0.
    bool getAttribute(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                      std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    bool getNextAttribute(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                          std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    bool reserveAttribute(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                          std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    bool releaseAttribute(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                          std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    bool setAttribute(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                      std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    bool addRow(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    bool deleteRow(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                   std::uint32_t a, std::uint32_t b, std::uint32_t* status);

    bool getAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                               oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                               std::uint32_t* status);
    bool getNextAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                   oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                   std::uint32_t* status);
    bool reserveAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                   oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                   std::uint32_t* status);
    bool releaseAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                   oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                   std::uint32_t* status);
    bool setAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                               oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                               std::uint32_t* status);
    bool addRowUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                         std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    bool deleteRowUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                            oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                            std::uint32_t* status);

    bool started() const noexcept { return started_.load(std::memory_order_acquire); }
    bool installedFromMIF() const noexcept { return installedFromMIF_; }
    bool wideStrings() const noexcept { return wideStrings_; }
    bool reannounce() const noexcept { return reannounce_; }
    // For an agent that wants the provider told of every module load and unload (slots 31 and
    // 27); the kernel itself never sets it.
    void setReannounce(bool on) noexcept { reannounce_ = on; }

    const oxString_c& directory() const noexcept { return directory_; }
    const oxString_c& language() const noexcept { return language_; }
    oxComponent_c& ownDescription() noexcept { return ownDescription_; }
    const oxComponent_c& ownDescription() const noexcept { return ownDescription_; }
    oxGroupList_c& groups() noexcept { return groups_; }
    oxOctetString_c& spContext() noexcept { return spContext_; }
    coxServiceProvider_c* serviceProvider() const noexcept { return serviceProvider_; }
    coxBaseList_c& componentObjects() noexcept { return componentObjects_; }
    const coxBaseList_c& componentObjects() const noexcept { return componentObjects_; }
    oxAccessList_c& accessTable() noexcept { return accessTable_; }
    std::uint32_t busyGuard() const noexcept { return busy_.value(); }

    // The file name of the module whose component object is being constructed: component
    // objects build their definition file names from it, since the object's own module name
    // is written only after construction. Empty outside a load.
    const oxString_c& loadingModuleName() const noexcept { return loadingModuleName_; }
    void setLoadingModuleName(const oxString_c& name) { loadingModuleName_.assign(name); }

    // The groups the provider listed for a MIF-installed component at start-up that no loaded
    // component object serves (by class text). Kept for the agent; the kernel does not act on
    // them, since the MIF may define groups that no module instruments.
    const oxGroupList_c& unservedGroups() const noexcept { return unservedGroups_; }

  private:
    // Request dispatch (coxKernelRequests.cpp): one body behind all fourteen handlers.
    enum class coxRequest_e : std::uint8_t {
        get,
        getNext,
        reserve,
        release,
        set,
        addRow,
        deleteRow
    };
    bool dispatch(coxRequest_e request, bool guarded, oxAttribValue_c& value,
                  const std::uint32_t* groupId, oxKey_c& rowKey, std::uint32_t a,
                  std::uint32_t b, std::uint32_t* status);
    void serve(coxBase_c& component, coxRequest_e request, bool guarded, oxAttribValue_c& value,
               oxKey_c& rowKey, std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    static void callSlot(coxBase_c& component, coxRequest_e request, oxAttribValue_c& value,
                         oxKey_c& key, std::uint32_t a, std::uint32_t b, std::uint32_t* status);
    coxBase_c* componentServing(std::uint32_t groupId) const noexcept;
    void unloadComponent(const coxBase_c& component) noexcept;

    // Start-up (coxKernel.cpp).
    bool discoverMIF();
    bool discoverMIX();
    void finishStartUp(std::uint32_t* status);
    void checkDuplicates(std::uint32_t* status);
    void compareGroups(std::uint32_t* status);
    bool answeredAtOnce(bool wantStarted, std::uint32_t* status) const noexcept;

    std::atomic<bool> started_{false}; // read before the guard by start and stop
    oxAccessList_c accessTable_;
    coxBaseList_c componentObjects_;
    oxComponent_c ownDescription_;
    coxBusyGuard_c busy_;
    oxString_c directory_;
    bool installedFromMIF_ = false;
    oxGroupList_c groups_;
    oxString_c language_;
    oxOctetString_c spContext_;
    bool reannounce_ = false;
    coxServiceProvider_c* serviceProvider_ = nullptr;
    bool wideStrings_ = false;
    oxString_c loadingModuleName_;
    oxGroupList_c unservedGroups_;
    // Where the request's row stands among each component object's rows; each object's index
    // is dropped as the object leaves the component objects.
    coxRowIndexes_c rowIndexes_;
};
