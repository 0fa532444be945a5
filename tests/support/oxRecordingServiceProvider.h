// A service provider for tests: it records every call with its slot and arguments in order,
// and each test programs what a slot answers (result, status) and what it does (fill an ID,
// refill a group list, refuse a group file) through plain public fields.
#pragma once
#include "framework/base/coxServiceProvider.h"
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct oxRecordedCall {
    std::uint32_t slot = 0;
    const void* first = nullptr;   // description, list or kernel the call names first
    const void* second = nullptr;  // its second object argument (list, group record, ...)
    const void* context = nullptr; // the SP context passed
    std::string text{};            // file name, path or name; the class of a group record
    std::uint32_t id = 0;          // the group or component ID as passed; event: value count
    std::uint32_t statusIn = 0;    // the status on entry
    std::uint32_t a = 0, b = 0, c = 0; // event pass-through values
};

// What one slot answers. A status other than 0 is written into the caller's status, makes the
// slot answer false and stops its built-in effect (a refused group file is not added).
struct oxSlotProgram {
    bool result = true;
    std::uint32_t status = 0;
    std::function<void(const oxRecordedCall&)> effect; // runs after the built-in effect
};

class oxRecordingServiceProvider : public coxServiceProvider_c {
  public:
    oxRecordingServiceProvider() = default;
    ~oxRecordingServiceProvider() = default;

    // The provider's database. listGroups refills the caller's list with `groups` (ID,
    // class); addGroupFromFile gives the record the next ID, the class of `fileClasses[file]`
    // if set, and appends it to `groups`; deleteGroup removes the group of that ID.
    std::vector<std::pair<std::uint32_t, std::string>> groups;
    std::vector<std::pair<std::string, std::string>> fileClasses;
    std::uint32_t nextGroupId = 100;
    // The ID the install slots give the own description.
    std::uint32_t componentId = 7;
    // What listComponents fills in: (ID, name).
    std::vector<std::pair<std::uint32_t, std::string>> components;

    oxSlotProgram slot[32];
    std::vector<oxRecordedCall> calls;

    // The slot numbers of the recorded calls, in order.
    std::vector<std::uint32_t> slots() const;
    // The recorded calls of one slot, in order.
    std::vector<oxRecordedCall> callsOf(std::uint32_t slotNumber) const;

    bool refreshDescription(oxComponent_c& own, oxComponent_c& same, oxOctetString_c& context,
                            std::uint32_t* status) override;
    bool listComponents(oxComponentList_c& components, oxOctetString_c& context,
                        std::uint32_t* status) override;
    bool installFromMIFName(oxComponent_c& own, const oxString_c& mifName,
                            oxOctetString_c& context, std::uint32_t* status) override;
    bool installFromMIF(oxComponent_c& own, const oxString_c& mifPath, oxOctetString_c& context,
                        std::uint32_t* status) override;
    bool installByName(oxComponent_c& own, const oxString_c& name, oxOctetString_c& context,
                       std::uint32_t* status) override;
    bool deleteComponent(std::uint32_t& componentId, oxOctetString_c& context,
                         std::uint32_t* status) override;
    bool originateEvent(oxAttribValueList_c& values, oxComponent_c& own, oxGroup_c& eventGroup,
                        std::uint32_t a, std::uint32_t b, std::uint32_t c,
                        std::uint32_t* status) override;
    bool listGroups(oxComponent_c& own, oxGroupList_c& groups, oxOctetString_c& context,
                    std::uint32_t* status) override;
    bool addGroupFromFile(oxComponent_c& own, oxGroup_c& group, const oxString_c& file,
                          oxOctetString_c& context, std::uint32_t* status) override;
    bool deleteGroup(oxComponent_c& own, oxGroup_c& group, oxOctetString_c& context,
                     std::uint32_t* status) override;
    bool announceComponents(coxKernel_c* kernel, oxOctetString_c& context,
                            std::uint32_t* status) override;
    bool withdrawComponents(coxKernel_c* kernel, oxOctetString_c& context,
                            std::uint32_t* status) override;

  private:
    // Records the call; true when the slot's programmed status lets its effect run.
    bool record(oxRecordedCall call, std::uint32_t* status);
    bool answer(std::uint32_t slotNumber);
    bool install(oxComponent_c& own, std::uint32_t slotNumber, const oxString_c& text,
                 oxOctetString_c& context, std::uint32_t* status);
};
