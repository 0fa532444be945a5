#include "tests/support/oxRecordingServiceProvider.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxGroup.h"
#include "framework/types/oxOctetString.h"
#include "framework/types/oxString.h"

namespace {
std::string textOf(const oxString_c& s) { return s.length() ? std::string(s.text()) : ""; }
} // namespace

std::vector<std::uint32_t> oxRecordingServiceProvider::slots() const {
    std::vector<std::uint32_t> result;
    for (const oxRecordedCall& call : calls)
        result.push_back(call.slot);
    return result;
}

std::vector<oxRecordedCall> oxRecordingServiceProvider::callsOf(std::uint32_t slotNumber) const {
    std::vector<oxRecordedCall> result;
    for (const oxRecordedCall& call : calls)
        if (call.slot == slotNumber)
            result.push_back(call);
    return result;
}

bool oxRecordingServiceProvider::record(oxRecordedCall call, std::uint32_t* status) {
    call.statusIn = *status;
    calls.push_back(call);
    if (slot[call.slot].status != 0) {
        *status = slot[call.slot].status;
        return false;
    }
    return true;
}

bool oxRecordingServiceProvider::answer(std::uint32_t slotNumber) {
    if (slot[slotNumber].effect)
        slot[slotNumber].effect(calls.back());
    return slot[slotNumber].status == 0 && slot[slotNumber].result;
}

bool oxRecordingServiceProvider::refreshDescription(oxComponent_c& own, oxComponent_c& same,
                                                    oxOctetString_c& context,
                                                    std::uint32_t* status) {
    record({coxSlotRefreshDescription, &own, &same, &context, textOf(own.name), own.id}, status);
    return answer(coxSlotRefreshDescription);
}

bool oxRecordingServiceProvider::listComponents(oxComponentList_c& list, oxOctetString_c& context,
                                                std::uint32_t* status) {
    if (record({coxSlotListComponents, &list, nullptr, &context}, status)) {
        oxComponentList_c fresh;
        for (const auto& [id, name] : components)
            fresh.add(oxComponent_c(id, oxString_c(name.c_str()), oxString_c(), oxString_c()));
        list.assign(fresh);
    }
    return answer(coxSlotListComponents);
}

bool oxRecordingServiceProvider::install(oxComponent_c& own, std::uint32_t slotNumber,
                                         const oxString_c& text, oxOctetString_c& context,
                                         std::uint32_t* status) {
    if (record({slotNumber, &own, &text, &context, textOf(text), own.id}, status))
        own.id = componentId;
    return answer(slotNumber);
}

bool oxRecordingServiceProvider::installFromMIFName(oxComponent_c& own, const oxString_c& mifName,
                                                    oxOctetString_c& context,
                                                    std::uint32_t* status) {
    return install(own, coxSlotInstallFromMIFName, mifName, context, status);
}

bool oxRecordingServiceProvider::installFromMIF(oxComponent_c& own, const oxString_c& mifPath,
                                                oxOctetString_c& context, std::uint32_t* status) {
    return install(own, coxSlotInstallFromMIF, mifPath, context, status);
}

bool oxRecordingServiceProvider::installByName(oxComponent_c& own, const oxString_c& name,
                                               oxOctetString_c& context, std::uint32_t* status) {
    return install(own, coxSlotInstallByName, name, context, status);
}

bool oxRecordingServiceProvider::deleteComponent(std::uint32_t& id, oxOctetString_c& context,
                                                 std::uint32_t* status) {
    record({coxSlotDeleteComponent, &id, nullptr, &context, "", id}, status);
    return answer(coxSlotDeleteComponent);
}

bool oxRecordingServiceProvider::originateEvent(oxAttribValueList_c& values, oxComponent_c& own,
                                                oxGroup_c& eventGroup, std::uint32_t a,
                                                std::uint32_t b, std::uint32_t c,
                                                std::uint32_t* status) {
    std::string classText;
    if (values.contains(5))
        classText = textOf(values.find(5)->value.string);
    record({coxSlotOriginateEvent, &own, &eventGroup, nullptr, classText, values.count(), 0, a, b,
            c},
           status);
    return answer(coxSlotOriginateEvent);
}

bool oxRecordingServiceProvider::listGroups(oxComponent_c& own, oxGroupList_c& list,
                                            oxOctetString_c& context, std::uint32_t* status) {
    if (record({coxSlotListGroups, &own, &list, &context, "", own.id}, status)) {
        oxGroupList_c fresh;
        for (const auto& [id, className] : groups) {
            oxGroup_c group;
            group.id = id;
            group.groupClass.assign(className.c_str());
            fresh.add(group);
        }
        list.assign(fresh);
    }
    return answer(coxSlotListGroups);
}

bool oxRecordingServiceProvider::addGroupFromFile(oxComponent_c& own, oxGroup_c& group,
                                                  const oxString_c& file,
                                                  oxOctetString_c& context,
                                                  std::uint32_t* status) {
    if (record({coxSlotAddGroupFromFile, &own, &group, &context, textOf(file), group.id},
               status)) {
        std::string className;
        for (const auto& [name, cls] : fileClasses)
            if (name == textOf(file))
                className = cls;
        group.id = nextGroupId++;
        group.groupClass.assign(className.c_str());
        groups.emplace_back(group.id, className);
    }
    return answer(coxSlotAddGroupFromFile);
}

bool oxRecordingServiceProvider::deleteGroup(oxComponent_c& own, oxGroup_c& group,
                                             oxOctetString_c& context, std::uint32_t* status) {
    if (record({coxSlotDeleteGroup, &own, &group, &context, textOf(group.groupClass), group.id},
               status)) {
        for (auto it = groups.begin(); it != groups.end(); ++it)
            if (it->first == group.id) {
                groups.erase(it);
                break;
            }
    }
    return answer(coxSlotDeleteGroup);
}

bool oxRecordingServiceProvider::announceComponents(coxKernel_c* kernel, oxOctetString_c& context,
                                                    std::uint32_t* status) {
    record({coxSlotAnnounceComponents, kernel, nullptr, &context}, status);
    return answer(coxSlotAnnounceComponents);
}

bool oxRecordingServiceProvider::withdrawComponents(coxKernel_c* kernel, oxOctetString_c& context,
                                                    std::uint32_t* status) {
    record({coxSlotWithdrawComponents, kernel, nullptr, &context}, status);
    return answer(coxSlotWithdrawComponents);
}
