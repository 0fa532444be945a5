#include "framework/base/coxBase.h"
#include "framework/base/coxBaseSource.h"
#include "framework/base/coxServiceProvider.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxLanguageModule.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxMemory.h"
#include "framework/types/oxText.h"

namespace {
// The status a file group gets when there is no kernel or provider to add it.
constexpr std::uint32_t noProvider = oxStatusModuleLoadFailed;
constexpr std::uint32_t eventClassAttribute = 5;
} // namespace

void* coxBase_c::operator new(std::size_t size) noexcept { return oxAllocate(size); }

void coxBase_c::operator delete(void* p) noexcept { oxRelease(p); }

coxBase_c::coxBase_c(const oxString_c& directory, coxKernel_c* kernel,
                     const oxIdList_c& attributeIds, const char* servedClass,
                     const char* eventClass)
    : attributeIds_(attributeIds), directory_(directory), kernel_(kernel) {
    moduleHandle_ = 0;
    groupsAdded_ = false;
    eventGroup_.id = 0;
    eventGroup_.groupClass.assign(eventClass);
    servedGroup_.id = 0;
    servedGroup_.groupClass.assign(servedClass);

    // A throw from here on destroys only the members: groups the provider already added stay
    // for the kernel's failure handling (the component goes with them), as the destructor's
    // body does not run.
    std::uint32_t status = oxStatusSuccess;
    if (!registerServedGroup(&status))
        throw oxFatal_c(coxBaseSource, 52, oxMsgGroupNotRegistered,
                        oxInsert::Text(servedGroup_.thirdText).text());
    status = oxStatusSuccess;
    registerEventGroup(&status); // a missing event group leaves its ID at 0
}

coxBase_c::~coxBase_c() { deleteAddedGroups(); }

bool coxBase_c::reserveAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                                 std::uint32_t* status) {
    *status = oxStatusSuccess;
    return true;
}

bool coxBase_c::releaseAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                                 std::uint32_t* status) {
    *status = oxStatusSuccess;
    return true;
}

bool coxBase_c::setAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                             std::uint32_t* status) {
    *status = oxStatusSetNotSupported;
    return false;
}

bool coxBase_c::addRow(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                       std::uint32_t* status) {
    *status = oxStatusAddRowNotSupported;
    return false;
}

bool coxBase_c::deleteRow(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                          std::uint32_t* status) {
    *status = oxStatusDeleteRowNotSupported;
    return false;
}

bool coxBase_c::raiseEvent(oxAttribValueList_c& values, std::uint32_t a, std::uint32_t b,
                           std::uint32_t c, std::uint32_t* status) {
    if (values.contains(eventClassAttribute)) {
        values.find(eventClassAttribute)->value.setString(servedGroup_.groupClass);
    } else {
        const oxAttribValue_c classValue(eventClassAttribute, servedGroup_.groupClass);
        values.add(classValue);
    }
    coxServiceProvider_c* sp = kernel_ ? kernel_->serviceProvider() : nullptr;
    if (!sp) {
        *status = noProvider;
        return false;
    }
    sp->originateEvent(values, kernel_->ownDescription(), eventGroup_, a, b, c, status);
    return *status == oxStatusSuccess;
}

bool coxBase_c::registerServedGroup(std::uint32_t* status) {
    return registerGroup(servedGroup_, ".grp", true, status);
}

bool coxBase_c::registerEventGroup(std::uint32_t* status) {
    return registerGroup(eventGroup_, ".evt", false, status);
}

bool coxBase_c::registerGroup(oxGroup_c& group, const char* extension, bool served,
                              std::uint32_t* status) {
    group.id = 0;
    if (group.groupClass.length() == 0) {
        if (served)
            groupsAdded_ = true; // set before the provider answers: deletion follows it
        const oxString_c file = definitionFileName(extension);
        coxServiceProvider_c* sp = kernel_ ? kernel_->serviceProvider() : nullptr;
        if (!sp) {
            *status = noProvider;
            return false;
        }
        sp->addGroupFromFile(kernel_->ownDescription(), group, file, spContext_, status);
        std::uint32_t listStatus = oxStatusSuccess;
        sp->listGroups(kernel_->ownDescription(), kernel_->groups(), spContext_, &listStatus);
    } else {
        if (served)
            groupsAdded_ = false;
        if (kernel_ && kernel_->groups().contains(group.groupClass)) {
            group.id = kernel_->groups().find(group.groupClass)->id;
            if (served)
                *status = oxStatusSuccess;
        }
    }
    return *status == oxStatusSuccess;
}

// directory + "\" + module name without its first ".dll" + extension. The loader writes the
// module name only after construction, so while the constructor runs the name comes from the
// kernel, which announces the module it is loading.
oxString_c coxBase_c::definitionFileName(const char* extension) const {
    const oxString_c& module =
        moduleName_.length() != 0 || !kernel_ ? moduleName_ : kernel_->loadingModuleName();
    oxText_c name;
    name.append(directory_);
    name.append("\\");
    name.append(module);
    name.removeFirst(".dll");
    name.append(extension);
    return oxString_c(name.text());
}

void coxBase_c::deleteAddedGroups() noexcept {
    if (!groupsAdded_ || !kernel_ || !kernel_->serviceProvider())
        return;
    coxServiceProvider_c* sp = kernel_->serviceProvider();
    std::uint32_t status = oxStatusSuccess;
    sp->deleteGroup(kernel_->ownDescription(), eventGroup_, spContext_, &status);
    status = oxStatusSuccess;
    sp->deleteGroup(kernel_->ownDescription(), servedGroup_, spContext_, &status);
    status = oxStatusSuccess;
    sp->listGroups(kernel_->ownDescription(), kernel_->groups(), spContext_, &status);
}
