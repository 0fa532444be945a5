// coxServiceProvider_c: the service provider's table of operations as the framework calls it.
//
// A hosting agent hands the kernel an object of a class derived from this one; the kernel and
// the component objects call it by slot position. The order of the virtual declarations below
// IS that table: slot N is the N-th virtual function declared here (the Itanium C++ ABI places
// virtual functions in declaration order). Hence no virtual destructor and nothing virtual
// ahead of slot 0; unused slots are reserved placeholders that keep the used ones in place.
//
// Every operation ends with a pointer to a 32-bit status (0 is success) and returns a boolean.
// Status codes written by a provider pass through the framework unchanged.
#pragma once
#include <cstdint>

class coxKernel_c;
class oxAttribValueList_c;
class oxComponent_c;
class oxComponentList_c;
class oxGroup_c;
class oxGroupList_c;
class oxOctetString_c;
class oxString_c;

class coxServiceProvider_c {
  public:
    // Slots 0 to 8: not used by the framework.
    virtual bool reserved0();
    virtual bool reserved1();
    virtual bool reserved2();
    virtual bool reserved3();
    virtual bool reserved4();
    virtual bool reserved5();
    virtual bool reserved6();
    virtual bool reserved7();
    virtual bool reserved8();

    // Slot 9: the provider refreshes the kernel's own description (both arguments are it).
    virtual bool refreshDescription(oxComponent_c& own, oxComponent_c& same,
                                    oxOctetString_c& context, std::uint32_t* status) = 0;
    virtual bool reserved10();
    // Slot 11: fills the list with the installed components.
    virtual bool listComponents(oxComponentList_c& components, oxOctetString_c& context,
                                std::uint32_t* status) = 0;
    // Slots 12 to 14: install the component; on success the description's ID is filled.
    virtual bool installFromMIFName(oxComponent_c& own, const oxString_c& mifName,
                                    oxOctetString_c& context, std::uint32_t* status) = 0;
    virtual bool installFromMIF(oxComponent_c& own, const oxString_c& mifPath,
                                oxOctetString_c& context, std::uint32_t* status) = 0;
    virtual bool installByName(oxComponent_c& own, const oxString_c& name,
                               oxOctetString_c& context, std::uint32_t* status) = 0;
    // Slot 15: removes an installed component.
    virtual bool deleteComponent(std::uint32_t& componentId, oxOctetString_c& context,
                                 std::uint32_t* status) = 0;
    // Slot 16: sends an event; a, b and c come unchanged from the component that raises it.
    virtual bool originateEvent(oxAttribValueList_c& values, oxComponent_c& own,
                                oxGroup_c& eventGroup, std::uint32_t a, std::uint32_t b,
                                std::uint32_t c, std::uint32_t* status) = 0;
    virtual bool reserved17();
    // Slot 18: refills the list with the component's groups (ID and class).
    virtual bool listGroups(oxComponent_c& own, oxGroupList_c& groups, oxOctetString_c& context,
                            std::uint32_t* status) = 0;
    virtual bool reserved19();
    // Slot 20: adds a group from its definition file; status 0 means the record's ID is filled.
    virtual bool addGroupFromFile(oxComponent_c& own, oxGroup_c& group, const oxString_c& file,
                                  oxOctetString_c& context, std::uint32_t* status) = 0;
    virtual bool reserved21();
    // Slot 22: deletes a group the component added.
    virtual bool deleteGroup(oxComponent_c& own, oxGroup_c& group, oxOctetString_c& context,
                             std::uint32_t* status) = 0;
    virtual bool reserved23();
    virtual bool reserved24();
    virtual bool reserved25();
    virtual bool reserved26();
    // Slot 27: announces the kernel's components; false after a module load unloads it again.
    virtual bool announceComponents(coxKernel_c* kernel, oxOctetString_c& context,
                                    std::uint32_t* status) = 0;
    virtual bool reserved28();
    virtual bool reserved29();
    virtual bool reserved30();
    // Slot 31: withdraws the kernel's components.
    virtual bool withdrawComponents(coxKernel_c* kernel, oxOctetString_c& context,
                                    std::uint32_t* status) = 0;

  protected:
    coxServiceProvider_c() noexcept = default;
    coxServiceProvider_c(const coxServiceProvider_c&) noexcept = default;
    coxServiceProvider_c& operator=(const coxServiceProvider_c&) noexcept = default;
    // Not virtual: a virtual destructor would take table slots. Providers are never deleted
    // through this interface.
    ~coxServiceProvider_c() = default;
};

// Slot positions, for the framework's own documentation and for tests.
enum coxServiceProviderSlot : std::uint32_t {
    coxSlotRefreshDescription = 9,
    coxSlotListComponents = 11,
    coxSlotInstallFromMIFName = 12,
    coxSlotInstallFromMIF = 13,
    coxSlotInstallByName = 14,
    coxSlotDeleteComponent = 15,
    coxSlotOriginateEvent = 16,
    coxSlotListGroups = 18,
    coxSlotAddGroupFromFile = 20,
    coxSlotDeleteGroup = 22,
    coxSlotAnnounceComponents = 27,
    coxSlotWithdrawComponents = 31,
};
