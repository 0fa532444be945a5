// coxBase_c: the base class of every component object.
//
// A component module derives one class from it and passes three constants: the attribute IDs
// it serves, the class text of the group it serves and that of its event group. At
// construction the object makes sure both groups exist in the service provider, found among
// the kernel's groups by class text or added from the definition files beside the module; at
// destruction it deletes what it added. It also holds the component's row keys, timers and
// service-provider context.
//
// The virtual table is part of the interface between a kernel and the modules it loads:
// slots 0 to 5 are getAttribute .. deleteRow in this order, and slot 6 (with its companion 7,
// as the Itanium C++ ABI lays out a virtual destructor) is the destructor. The deleting form
// frees the storage through the allocation pair (see operator delete), so `delete component`
// is the "destroy with flag 1" that coxBaseDestruct needs.
#pragma once
#include "framework/model/oxGroup.h"
#include "framework/model/oxKey.h"
#include "framework/types/oxIdList.h"
#include "framework/types/oxOctetString.h"
#include "framework/types/oxString.h"
#include "framework/types/oxTimerList.h"
#include <cstddef>
#include <cstdint>

class coxKernel_c;
class oxAttribValue_c;
class oxAttribValueList_c;

class coxBase_c {
  public:
    // Slots 0 to 5. The kernel passes the request value, the row key (empty for a group
    // without rows), two arguments of its own caller unchanged, and the status. The kernel
    // acts on the status only.
    virtual bool getAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a,
                              std::uint32_t b, std::uint32_t* status) = 0;
    virtual bool reserveAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a,
                                  std::uint32_t b, std::uint32_t* status);  // 0, true
    virtual bool releaseAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a,
                                  std::uint32_t b, std::uint32_t* status);  // 0, true
    virtual bool setAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a,
                              std::uint32_t b, std::uint32_t* status);      // 0x2006, false
    virtual bool addRow(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a, std::uint32_t b,
                        std::uint32_t* status);                             // 0x7002, false
    virtual bool deleteRow(oxAttribValue_c& value, oxKey_c& key, std::uint32_t a,
                           std::uint32_t b, std::uint32_t* status);         // 0x7003, false
    // Slot 6: deletes from the service provider the groups this object added.
    virtual ~coxBase_c();

    // Component objects live in storage of the allocation pair: a failed allocation gives a
    // null object instead of an exception, and the deleting destructor releases through it.
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* p) noexcept;

    coxBase_c(const coxBase_c&) = delete;
    coxBase_c& operator=(const coxBase_c&) = delete;

    // Sends an event of the event group: attribute 5 of the values is set to the served
    // group's class text, then the provider's originateEvent gets a, b and c unchanged.
    // True when the status is 0 afterwards.
    bool raiseEvent(oxAttribValueList_c& values, std::uint32_t a, std::uint32_t b,
                    std::uint32_t c, std::uint32_t* status);

    const oxIdList_c& attributeIds() const noexcept { return attributeIds_; }
    const oxString_c& moduleName() const noexcept { return moduleName_; }
    void setModuleName(const oxString_c& name) { moduleName_.assign(name); }
    std::uint32_t moduleHandle() const noexcept { return moduleHandle_; }
    void setModuleHandle(std::uint32_t handle) noexcept { moduleHandle_ = handle; }
    const oxString_c& directory() const noexcept { return directory_; }
    bool groupsAdded() const noexcept { return groupsAdded_; }
    const oxGroup_c& eventGroup() const noexcept { return eventGroup_; }
    const oxGroup_c& servedGroup() const noexcept { return servedGroup_; }
    coxKernel_c* kernel() const noexcept { return kernel_; }
    oxKeyList_c& rowKeys() noexcept { return rowKeys_; }
    const oxKeyList_c& rowKeys() const noexcept { return rowKeys_; }
    oxOctetString_c& spContext() noexcept { return spContext_; }
    oxTimerList_c& timers() noexcept { return timers_; }

  protected:
    // Registers the served group (oxFatal_c, message 0x1027, when that fails) and then the
    // event group (a failure leaves its ID at 0).
    coxBase_c(const oxString_c& directory, coxKernel_c* kernel, const oxIdList_c& attributeIds,
              const char* servedClass, const char* eventClass);

  private:
    bool registerServedGroup(std::uint32_t* status);
    bool registerEventGroup(std::uint32_t* status);
    // Finds the group's ID among the kernel's groups by class text, or, for an empty class,
    // has the provider add it from the definition file with that extension.
    bool registerGroup(oxGroup_c& group, const char* extension, bool writeStatus,
                       std::uint32_t* status);
    oxString_c definitionFileName(const char* extension) const;
    void deleteAddedGroups() noexcept;

    oxIdList_c attributeIds_;
    oxString_c moduleName_;
    std::uint32_t moduleHandle_ = 0;
    oxString_c directory_;
    bool groupsAdded_ = false;
    oxGroup_c eventGroup_;
    oxGroup_c servedGroup_;
    coxKernel_c* kernel_ = nullptr;
    oxKeyList_c rowKeys_;
    oxOctetString_c spContext_;
    oxTimerList_c timers_;
};
