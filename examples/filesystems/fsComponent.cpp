// The File System table: answers from the mount table at request time, the threshold kept here.
#include "fsComponent.h"
#include "fsMounts.h"
#include "framework/diag/oxStatus.h"
#include "framework/model/oxAttribValue.h"
#include "framework/types/oxIdList.h"
#include <algorithm>

namespace {

// The mount point a row key names; the component reads and writes 8-bit text.
std::string keyText(const oxKey_c& key) {
    const char* text = key.count() != 0 ? key.at(0)->value.string.text() : nullptr;
    return text ? text : "";
}

void setGauge(oxValue_c& value, std::uint32_t number) {
    value.kind = 5;
    value.number5 = number;
}

void setInteger64(oxValue_c& value, std::uint64_t number) {
    value.kind = 7;
    value.number7 = number;
}

} // namespace

fsComponent_c::fsComponent_c(const oxString_c& directory, coxKernel_c* kernel,
                             oxTimer_c::Callback onTimer, std::uint32_t timerArgument)
    : coxBase_c(directory, kernel, oxIdList_c{1, 2, 3, 4, 5, 6, 7}, servedClass, eventClass) {
    const fsSettings settings = fsSettings::read(fsSettings::fileName); // the directory is current
    threshold_ = settings.threshold;
    std::vector<std::string> mountPoints;
    for (const fsMount& m : fsMountedFileSystems())
        mountPoints.push_back(m.mountPoint);
    takeRows(mountPoints);
    // The kernel starts and stops the list; the timer itself runs from the start.
    oxTimer_c timer(1, settings.period, oxTimer_c::seconds, onTimer, timerArgument);
    timer.start();
    timers().add(timer);
}

bool fsComponent_c::getAttribute(oxAttribValue_c& value, oxKey_c& key, std::uint32_t,
                                 std::uint32_t, std::uint32_t* status) {
    const std::optional<fsMount> m = fsFindMount(keyText(key));
    if (!m) { // unmounted since the rows were taken
        *status = oxStatusInvalidRowKey;
        return false;
    }
    switch (value.id) {
    case mountPoint:
        value.value.setString(oxString_c(m->mountPoint.c_str()));
        break;
    case device:
        value.value.setString(oxString_c(m->device.c_str()));
        break;
    case type:
        value.value.setString(oxString_c(m->type.c_str()));
        break;
    case size:
        setInteger64(value.value, m->size);
        break;
    case free:
        setInteger64(value.value, m->free);
        break;
    case usedPercent:
        setGauge(value.value, m->usedPercent);
        break;
    case threshold:
        setGauge(value.value, threshold_);
        break;
    default:
        *status = oxStatusAttributeNotServed;
        return false;
    }
    return *status == oxStatusSuccess;
}

// A percentage arrives as a 32-bit number: Gauge, Counter or Integer (negative reads as large).
bool fsComponent_c::checkThreshold(const oxAttribValue_c& value, std::uint32_t* status) const {
    if (value.id != threshold) {
        *status = oxStatusSetNotSupported;
        return false;
    }
    const oxValue_c& v = value.value;
    const std::uint32_t number = v.kind == 5 ? v.number5 : v.kind == 6 ? v.number6 : v.number0;
    if ((v.kind != 0 && v.kind != 5 && v.kind != 6) || number > 100) {
        *status = fsStatusNotAPercentage;
        return false;
    }
    *status = oxStatusSuccess;
    return true;
}

bool fsComponent_c::reserveAttribute(oxAttribValue_c& value, oxKey_c&, std::uint32_t,
                                     std::uint32_t, std::uint32_t* status) {
    return checkThreshold(value, status);
}

bool fsComponent_c::setAttribute(oxAttribValue_c& value, oxKey_c&, std::uint32_t, std::uint32_t,
                                 std::uint32_t* status) {
    if (!checkThreshold(value, status))
        return false;
    const oxValue_c& v = value.value;
    threshold_ = v.kind == 5 ? v.number5 : v.kind == 6 ? v.number6 : v.number0;
    return true;
}

void fsComponent_c::check() {
    std::vector<std::string> mountPoints;
    std::vector<std::string> above;
    for (const fsMount& m : fsMountedFileSystems()) {
        mountPoints.push_back(m.mountPoint);
        const bool wasAbove = std::find(above_.begin(), above_.end(), m.mountPoint) != above_.end();
        const bool isAbove = m.usedPercent > threshold_;
        if (isAbove)
            above.push_back(m.mountPoint);
        if (isAbove != wasAbove)
            raiseCrossing(m.mountPoint, m.usedPercent, isAbove ? Crossing::above : Crossing::fellBack);
    }
    above_ = above;
    takeRows(mountPoints);
}

void fsComponent_c::takeRows(const std::vector<std::string>& mountPoints) {
    while (rowKeys().count() != 0)
        rowKeys().remove(*rowKeys().at(0));
    for (const std::string& mountPoint : mountPoints) {
        oxKey_c key;
        key.add(oxAttribValue_c(Attribute::mountPoint, oxString_c(mountPoint.c_str())));
        rowKeys().add(key);
    }
}

// Event attributes: 1 mount point, 2 used percent, 3 threshold, 4 crossing; raiseEvent adds 5.
void fsComponent_c::raiseCrossing(const std::string& mountPoint, std::uint32_t used,
                                  Crossing crossing) {
    oxAttribValueList_c values;
    values.add(oxAttribValue_c(1, oxString_c(mountPoint.c_str())));
    oxAttribValue_c usedValue(2), thresholdValue(3), crossingValue(4);
    setGauge(usedValue.value, used);
    setGauge(thresholdValue.value, threshold_);
    crossingValue.value.number6 = crossing;
    values.add(usedValue);
    values.add(thresholdValue);
    values.add(crossingValue);
    std::uint32_t status = oxStatusSuccess;
    raiseEvent(values, 0, 0, 0, &status); // a provider that refuses it loses this one event
}
