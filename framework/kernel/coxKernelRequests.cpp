// The kernel's request handlers: find the component object serving the group, check the
// attribute and the row, call the object's slot, and unload an object that asks for it or
// fails. All fourteen handlers share dispatch(); they differ in the slot, the checks, the
// guard, the text conversion and the line their failure reports name.
#include "framework/base/coxBase.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "framework/kernel/coxKernelSource.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxKey.h"
#include <optional>

namespace {

// The lines of the failure reports, indexed by coxRequest_e.
struct coxReportLines {
    std::uint32_t guarded;
    std::uint32_t unguarded;
};

constexpr coxReportLines reportLines[] = {
    {580, 206}, // get
    {648, 269}, // get next
    {770, 383}, // reserve
    {709, 326}, // release
    {837, 440}, // set
    {929, 480}, // add row
    {973, 520}, // delete row
};

// The request's row among the object's rows: an empty key names the first row and is filled
// with it; a key that is not one of the rows (or any key for an object without rows) is 0x9005.
void checkRowKey(coxRowIndexes_c& indexes, const oxKeyList_c& rows, oxKey_c& rowKey,
                 std::uint32_t* status) {
    if (rows.count() == 0) {
        if (rowKey.count() != 0)
            *status = oxStatusInvalidRowKey;
    } else if (rowKey.count() == 0) {
        rowKey.assign(*rows.at(0));
    } else if (indexes.find(rows, rowKey) == coxRowIndex_c::none) {
        *status = oxStatusInvalidRowKey;
    }
}

// The object's key of the row after the request's row: 0x9005 when the key is empty or not
// one of the rows, 0x7004 after the last row.
//
// An object without rows only gets 0x9005: asking a scalar group for its next row is a bad
// request, not a failure of the component, so its module stays loaded.
oxKey_c* nextRowKey(coxRowIndexes_c& indexes, const oxKeyList_c& rows, const oxKey_c& rowKey,
                    std::uint32_t* status) {
    const std::uint32_t row =
        rowKey.count() != 0 ? indexes.find(rows, rowKey) : coxRowIndex_c::none;
    if (row == coxRowIndex_c::none) {
        *status = oxStatusInvalidRowKey;
        return nullptr;
    }
    if (row + 1 < rows.count())
        return rows.at(row + 1);
    *status = oxStatusNoNextRow;
    return nullptr;
}

} // namespace

// The component object's slot for the request.
void coxKernel_c::callSlot(coxBase_c& component, coxRequest_e request, oxAttribValue_c& value,
                           oxKey_c& key, std::uint32_t a, std::uint32_t b, std::uint32_t* status) {
    switch (request) {
    case coxRequest_e::get:
    case coxRequest_e::getNext:
        component.getAttribute(value, key, a, b, status);
        break;
    case coxRequest_e::reserve:
        component.reserveAttribute(value, key, a, b, status);
        break;
    case coxRequest_e::release:
        component.releaseAttribute(value, key, a, b, status);
        break;
    case coxRequest_e::set:
        component.setAttribute(value, key, a, b, status);
        break;
    case coxRequest_e::addRow:
        component.addRow(value, key, a, b, status);
        break;
    case coxRequest_e::deleteRow:
        component.deleteRow(value, key, a, b, status);
        break;
    }
}

coxBase_c* coxKernel_c::componentServing(std::uint32_t groupId) const noexcept {
    for (std::uint32_t i = 0; i < componentObjects_.count(); ++i) {
        coxBase_c* component = componentObjects_.at(i);
        if (component->servedGroup().id == groupId)
            return component;
    }
    return nullptr;
}

// With a fresh status; an exception from the unload is swallowed. unloadModule takes its own
// copy of the name before it destroys the object that holds it.
void coxKernel_c::unloadComponent(const coxBase_c& component) noexcept {
    try {
        std::uint32_t status = oxStatusSuccess;
        unloadModule(component.moduleName(), &status);
    } catch (...) {
    }
}

bool coxKernel_c::dispatch(coxRequest_e request, bool guarded, oxAttribValue_c& value,
                           const std::uint32_t* groupId, oxKey_c& rowKey, std::uint32_t a,
                           std::uint32_t b, std::uint32_t* status) {
    *status = oxStatusSuccess;
    std::optional<coxBusyScope_c> busy;
    if (guarded)
        busy.emplace(busy_);
    coxBase_c* component = groupId ? componentServing(*groupId) : nullptr;
    if (!component) {
        *status = oxStatusNoComponent;
        return false;
    }
    // A component that throws is reported and unloaded; the caller sees 0x7005.
    const auto failed = [&] {
        const coxReportLines& lines = reportLines[static_cast<std::uint8_t>(request)];
        oxMessages_c::instance().reportText(
            coxKernelSource, guarded ? lines.guarded : lines.unguarded, component->moduleName());
        unloadComponent(*component);
        *status = oxStatusNoComponent;
    };
    // The unload waits until the handler is done: the exception may be the component module's
    // own, and its code must stay loaded until the exception is gone.
    bool componentFailed = false;
    try {
        serve(*component, request, guarded, value, rowKey, a, b, status);
    } catch (const oxFatal_c&) {
        componentFailed = true;
    } catch (...) {
        if (request == coxRequest_e::getNext)
            throw; // get next answers only for oxFatal_c
        componentFailed = true;
    }
    if (componentFailed)
        failed();
    return *status == oxStatusSuccess;
}

void coxKernel_c::serve(coxBase_c& component, coxRequest_e request, bool guarded,
                        oxAttribValue_c& value, oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                        std::uint32_t* status) {
    oxKey_c* key = &rowKey;
    if (request != coxRequest_e::addRow && request != coxRequest_e::deleteRow) {
        if (!component.attributeIds().contains(value.id)) {
            *status = oxStatusAttributeNotServed;
            return;
        }
        if (request == coxRequest_e::getNext)
            key = nextRowKey(rowIndexes_, component.rowKeys(), rowKey, status);
        else
            checkRowKey(rowIndexes_, component.rowKeys(), rowKey, status);
        if (*status != oxStatusSuccess)
            return;
    }

    // The provider's texts are 16-bit when it works with wide strings; components read and
    // write 8-bit text. A set text arriving marked 8-bit is read as 16-bit and narrowed; one
    // marked 16-bit keeps its bytes and is marked 8-bit.
    oxString_c& text = value.value.string;
    const bool wide = guarded && wideStrings_;
    if (wide && request == coxRequest_e::set && value.value.kind == oxValue_c::stringKind) {
        text.toggleWide();
        if (text.isWide())
            text.makeNarrow();
    }

    callSlot(component, request, value, *key, a, b, status); // its result is not used

    if (*status == oxStatusUnloadMe) {
        unloadComponent(component);
        *status = oxStatusNoComponent;
        return;
    }
    if (wide && (request == coxRequest_e::get || request == coxRequest_e::getNext) &&
        value.value.kind == oxValue_c::stringKind)
        text.makeWide();
}

bool coxKernel_c::getAttribute(oxAttribValue_c& value, const std::uint32_t* groupId,
                               oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                               std::uint32_t* status) {
    return dispatch(coxRequest_e::get, true, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::getNextAttribute(oxAttribValue_c& value, const std::uint32_t* groupId,
                                   oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                   std::uint32_t* status) {
    return dispatch(coxRequest_e::getNext, true, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::reserveAttribute(oxAttribValue_c& value, const std::uint32_t* groupId,
                                   oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                   std::uint32_t* status) {
    return dispatch(coxRequest_e::reserve, true, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::releaseAttribute(oxAttribValue_c& value, const std::uint32_t* groupId,
                                   oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                   std::uint32_t* status) {
    return dispatch(coxRequest_e::release, true, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::setAttribute(oxAttribValue_c& value, const std::uint32_t* groupId,
                               oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                               std::uint32_t* status) {
    return dispatch(coxRequest_e::set, true, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::addRow(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                         std::uint32_t a, std::uint32_t b, std::uint32_t* status) {
    return dispatch(coxRequest_e::addRow, true, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::deleteRow(oxAttribValue_c& value, const std::uint32_t* groupId, oxKey_c& rowKey,
                            std::uint32_t a, std::uint32_t b, std::uint32_t* status) {
    return dispatch(coxRequest_e::deleteRow, true, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::getAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                        oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                        std::uint32_t* status) {
    return dispatch(coxRequest_e::get, false, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::getNextAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                            oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                            std::uint32_t* status) {
    return dispatch(coxRequest_e::getNext, false, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::reserveAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                            oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                            std::uint32_t* status) {
    return dispatch(coxRequest_e::reserve, false, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::releaseAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                            oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                            std::uint32_t* status) {
    return dispatch(coxRequest_e::release, false, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::setAttributeUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                        oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                        std::uint32_t* status) {
    return dispatch(coxRequest_e::set, false, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::addRowUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                  oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                  std::uint32_t* status) {
    return dispatch(coxRequest_e::addRow, false, value, groupId, rowKey, a, b, status);
}

bool coxKernel_c::deleteRowUnguarded(oxAttribValue_c& value, const std::uint32_t* groupId,
                                     oxKey_c& rowKey, std::uint32_t a, std::uint32_t b,
                                     std::uint32_t* status) {
    return dispatch(coxRequest_e::deleteRow, false, value, groupId, rowKey, a, b, status);
}
