// A service provider for tests: it records every call with its slot and arguments in order,
// and each test programs what a slot answers (result, status) and what it does (fill an ID,
// refill a group list, refuse a group file) through plain public fields.
#pragma once
#include "framework/base/coxServiceProvider.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "framework/types/oxOctetString.h"
#include "framework/types/oxString.h"
#include <algorithm>
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

    bool refreshDescription(oxComponent_c& own, oxComponent_c& same, oxOctetString_c& ctx,
                            std::uint32_t* st) override {
        return serve({coxSlotRefreshDescription, &own, &same, &ctx, textOf(own.name), own.id}, st);
    }
    bool listComponents(oxComponentList_c& list, oxOctetString_c& ctx, std::uint32_t* st) override {
        return serve({coxSlotListComponents, &list, nullptr, &ctx}, st, [&] {
            oxComponentList_c fresh;
            for (const auto& [id, name] : components)
                fresh.add(oxComponent_c(id, oxString_c(name.c_str()), oxString_c(), oxString_c()));
            list.assign(fresh);
        });
    }
    bool installFromMIFName(oxComponent_c& own, const oxString_c& mifName, oxOctetString_c& ctx,
                            std::uint32_t* st) override {
        return install(own, {coxSlotInstallFromMIFName, &own, &mifName, &ctx, textOf(mifName)}, st);
    }
    bool installFromMIF(oxComponent_c& own, const oxString_c& mifPath, oxOctetString_c& ctx,
                        std::uint32_t* st) override {
        return install(own, {coxSlotInstallFromMIF, &own, &mifPath, &ctx, textOf(mifPath)}, st);
    }
    bool installByName(oxComponent_c& own, const oxString_c& name, oxOctetString_c& ctx,
                       std::uint32_t* st) override {
        return install(own, {coxSlotInstallByName, &own, &name, &ctx, textOf(name)}, st);
    }
    bool deleteComponent(std::uint32_t& id, oxOctetString_c& ctx, std::uint32_t* st) override {
        return serve({coxSlotDeleteComponent, &id, nullptr, &ctx, "", id}, st);
    }
    bool originateEvent(oxAttribValueList_c& values, oxComponent_c& own, oxGroup_c& eventGroup,
                        std::uint32_t a, std::uint32_t b, std::uint32_t c,
                        std::uint32_t* st) override {
        const std::string cls = values.contains(5) ? textOf(values.find(5)->value.string) : "";
        return serve({coxSlotOriginateEvent, &own, &eventGroup, nullptr, cls, values.count(), 0,
                      a, b, c}, st);
    }
    bool listGroups(oxComponent_c& own, oxGroupList_c& list, oxOctetString_c& ctx,
                    std::uint32_t* st) override {
        return serve({coxSlotListGroups, &own, &list, &ctx, "", own.id}, st, [&] {
            oxGroupList_c fresh;
            for (const auto& [id, className] : groups)
                fresh.add(oxGroup_c(id, className.c_str(), "", {}, "", ""));
            list.assign(fresh);
        });
    }
    bool addGroupFromFile(oxComponent_c& own, oxGroup_c& group, const oxString_c& file,
                          oxOctetString_c& ctx, std::uint32_t* st) override {
        const std::string name = textOf(file);
        return serve({coxSlotAddGroupFromFile, &own, &group, &ctx, name, group.id}, st, [&] {
            std::string className;
            for (const auto& [fileName, cls] : fileClasses)
                if (fileName == name)
                    className = cls;
            group.id = nextGroupId++;
            group.groupClass.assign(className.c_str());
            groups.emplace_back(group.id, className);
        });
    }
    bool deleteGroup(oxComponent_c& own, oxGroup_c& group, oxOctetString_c& ctx,
                     std::uint32_t* st) override {
        return serve({coxSlotDeleteGroup, &own, &group, &ctx, textOf(group.groupClass), group.id},
                     st, [&] { std::erase_if(groups, [&](auto& g) { return g.first == group.id; }); });
    }
    bool announceComponents(coxKernel_c* kernel, oxOctetString_c& ctx, std::uint32_t* st) override {
        return serve({coxSlotAnnounceComponents, kernel, nullptr, &ctx}, st);
    }
    bool withdrawComponents(coxKernel_c* kernel, oxOctetString_c& ctx, std::uint32_t* st) override {
        return serve({coxSlotWithdrawComponents, kernel, nullptr, &ctx}, st);
    }

  private:
    static std::string textOf(const oxString_c& s) { return s.length() ? s.text() : ""; }
    // Records the call; with the slot's programmed status 0 runs the built-in effect, then the
    // programmed one; answers as programmed.
    bool serve(oxRecordedCall call, std::uint32_t* status,
               const std::function<void()>& builtIn = nullptr);
    // The install slots record the description's ID as passed and, accepted, give it theirs.
    bool install(oxComponent_c& own, oxRecordedCall call, std::uint32_t* status) {
        call.id = own.id;
        return serve(std::move(call), status, [&] { own.id = componentId; });
    }
};
