#include "framework/kernel/coxGroupProxy.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "framework/types/oxMemory.h"

coxGroupProxy_c::coxGroupProxy_c(const oxString_c& classText, coxKernel_c* kernel)
    : kernel_(kernel) {
    group_.groupClass.assign(classText);
    group_.id = unknownId;
    resolve();
}

void* coxGroupProxy_c::operator new(std::size_t size) noexcept {
    return oxAllocate(size);
}

void coxGroupProxy_c::operator delete(void* p) noexcept {
    oxRelease(p);
}

bool coxGroupProxy_c::resolve() {
    if (group_.id != unknownId)
        return true;
    if (!kernel_ || !kernel_->groups().contains(group_.groupClass))
        return false;
    group_.id = kernel_->groups().find(group_.groupClass)->id;
    return true;
}

bool coxGroupProxy_c::forward(Handler handler, oxAttribValue_c& value, oxKey_c& rowKey,
                              std::uint32_t a, std::uint32_t b, std::uint32_t* status) {
    if (!resolve()) {
        *status = oxStatusNoComponent;
        return false;
    }
    return (kernel_->*handler)(value, &group_.id, rowKey, a, b, status);
}

bool coxGroupProxy_c::getAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                                   std::uint32_t b, std::uint32_t* status) {
    return forward(&coxKernel_c::getAttributeUnguarded, value, rowKey, a, b, status);
}

bool coxGroupProxy_c::getNextAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                                       std::uint32_t b, std::uint32_t* status) {
    return forward(&coxKernel_c::getNextAttributeUnguarded, value, rowKey, a, b, status);
}

bool coxGroupProxy_c::reserveAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                                       std::uint32_t b, std::uint32_t* status) {
    return forward(&coxKernel_c::reserveAttributeUnguarded, value, rowKey, a, b, status);
}

bool coxGroupProxy_c::releaseAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                                       std::uint32_t b, std::uint32_t* status) {
    return forward(&coxKernel_c::releaseAttributeUnguarded, value, rowKey, a, b, status);
}

bool coxGroupProxy_c::setAttribute(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                                   std::uint32_t b, std::uint32_t* status) {
    return forward(&coxKernel_c::setAttributeUnguarded, value, rowKey, a, b, status);
}

bool coxGroupProxy_c::addRow(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                             std::uint32_t b, std::uint32_t* status) {
    return forward(&coxKernel_c::addRowUnguarded, value, rowKey, a, b, status);
}

bool coxGroupProxy_c::deleteRow(oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a,
                                std::uint32_t b, std::uint32_t* status) {
    return forward(&coxKernel_c::deleteRowUnguarded, value, rowKey, a, b, status);
}
