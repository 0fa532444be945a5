#include "framework/base/coxBaseList.h"
#include "framework/base/coxBase.h"
#include "framework/base/coxBaseSource.h"
#include "framework/diag/oxExceptions.h"
#include "framework/types/oxMemory.h"

coxBaseList_c::~coxBaseList_c() { oxRelease(items_); }

coxBase_c* coxBaseList_c::at(std::uint32_t index) const {
    if (index >= count())
        throw oxInvalidIndex_c(coxBaseSource, 215);
    return items_[index];
}

coxBase_c* coxBaseList_c::find(const oxString_c& moduleName) const {
    const std::uint32_t i = indexOf(moduleName);
    if (i == npos)
        throw oxInvalidIndex_c(coxBaseSource, 195);
    return items_[i];
}

coxBase_c* coxBaseList_c::find(std::uint32_t groupId) const {
    const std::uint32_t i = indexOf(groupId);
    if (i == npos)
        throw oxInvalidIndex_c(coxBaseSource, 207);
    return items_[i];
}

bool coxBaseList_c::contains(const oxString_c& moduleName) const noexcept {
    return indexOf(moduleName) != npos;
}

bool coxBaseList_c::contains(std::uint32_t groupId) const noexcept {
    return indexOf(groupId) != npos;
}

void coxBaseList_c::add(coxBase_c* component) {
    if (!component || contains(component->moduleName()))
        return;
    const std::uint32_t n = count();
    auto* array = static_cast<coxBase_c**>(oxAllocate((n + 1) * sizeof(coxBase_c*)));
    if (!array)
        throw oxInsufficientMemory_c(coxBaseSource, 263);
    for (std::uint32_t i = 0; i < n; ++i)
        array[i] = items_[i];
    array[n] = component;
    oxRelease(items_);
    items_ = array;
    count_.store(n + 1, std::memory_order_release);
}

void coxBaseList_c::remove(const oxString_c& moduleName) {
    const std::uint32_t p = indexOf(moduleName);
    if (p == npos)
        return;
    const std::uint32_t n = count();
    coxBase_c** array = nullptr;
    if (n > 1) {
        array = static_cast<coxBase_c**>(oxAllocate((n - 1) * sizeof(coxBase_c*)));
        if (!array)
            throw oxInsufficientMemory_c(coxBaseSource, 232);
        for (std::uint32_t i = 0, j = 0; i < n; ++i)
            if (i != p)
                array[j++] = items_[i];
    }
    oxRelease(items_);
    items_ = array;
    count_.store(n - 1, std::memory_order_release);
}

void coxBaseList_c::clear() noexcept {
    oxRelease(items_);
    items_ = nullptr;
    count_.store(0, std::memory_order_release);
}

std::uint32_t coxBaseList_c::indexOf(const oxString_c& moduleName) const noexcept {
    for (std::uint32_t i = 0, n = count(); i < n; ++i)
        if (items_[i]->moduleName() == moduleName)
            return i;
    return npos;
}

std::uint32_t coxBaseList_c::indexOf(std::uint32_t groupId) const noexcept {
    for (std::uint32_t i = 0, n = count(); i < n; ++i)
        if (items_[i]->servedGroup().id == groupId)
            return i;
    return npos;
}
