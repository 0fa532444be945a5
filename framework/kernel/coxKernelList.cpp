#include "framework/kernel/coxKernelList.h"
#include "framework/diag/oxExceptions.h"
#include "framework/kernel/coxKernel.h"
#include "framework/kernel/coxKernelSource.h"
#include "framework/types/oxMemory.h"

namespace {

coxKernel_c** newArray(std::uint32_t count, std::uint32_t line) {
    auto* array = static_cast<coxKernel_c**>(oxAllocate(sizeof(coxKernel_c*) * count));
    if (!array)
        throw oxInsufficientMemory_c(coxKernelSource, line);
    return array;
}

} // namespace

coxKernelList_c::~coxKernelList_c() { oxRelease(items_); }

coxKernel_c* coxKernelList_c::at(std::uint32_t index) const {
    if (!isValidIndex(index))
        throw oxInvalidIndex_c(coxKernelSource, 1100);
    return items_[index];
}

bool coxKernelList_c::contains(std::uint32_t componentId) const noexcept {
    return indexOf(componentId) != npos;
}

bool coxKernelList_c::contains(const oxString_c& name) const noexcept {
    return indexOf(name) != npos;
}

coxKernel_c* coxKernelList_c::find(std::uint32_t componentId) const {
    const std::uint32_t index = indexOf(componentId);
    if (index == npos)
        throw oxInvalidIndex_c(coxKernelSource, 1080);
    return items_[index];
}

coxKernel_c* coxKernelList_c::find(const oxString_c& name) const {
    const std::uint32_t index = indexOf(name);
    if (index == npos)
        throw oxInvalidIndex_c(coxKernelSource, 1092);
    return items_[index];
}

void coxKernelList_c::add(coxKernel_c* kernel) {
    if (!kernel || contains(kernel->ownDescription().name))
        return;
    coxKernel_c** array = newArray(count_ + 1, 1148);
    for (std::uint32_t i = 0; i < count_; ++i)
        array[i] = items_[i];
    array[count_] = kernel;
    oxRelease(items_);
    items_ = array;
    ++count_;
}

void coxKernelList_c::remove(const oxString_c& name) {
    const std::uint32_t found = indexOf(name);
    if (found == npos)
        return;
    coxKernel_c** array = count_ > 1 ? newArray(count_ - 1, 1117) : nullptr;
    std::uint32_t next = 0;
    for (std::uint32_t i = 0; i < count_; ++i)
        if (i != found)
            array[next++] = items_[i];
    oxRelease(items_);
    items_ = array;
    --count_;
}

std::uint32_t coxKernelList_c::indexOf(std::uint32_t componentId) const noexcept {
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i]->ownDescription().id == componentId)
            return i;
    return npos;
}

std::uint32_t coxKernelList_c::indexOf(const oxString_c& name) const noexcept {
    for (std::uint32_t i = 0; i < count_; ++i)
        if (items_[i]->ownDescription().name == name)
            return i;
    return npos;
}
