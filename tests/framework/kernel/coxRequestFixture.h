// Common ground of the request, proxy and concurrency tests: a kernel installed from a MIF
// file on a directory holding osComp.dll and the request fixtures, with the provider listing
// the groups they serve, and access to the fixtures' call records.
#pragma once
#include "coxKernelFixture.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxComponent.h"
#include "framework/model/oxKey.h"
#include "tests/modules/fxRequestRecord.h"
#include <string>

constexpr std::uint32_t coxTableGroup = 21;
constexpr std::uint32_t coxThrowerGroup = 22;
constexpr std::uint32_t coxUnloadMeGroup = 23;

class coxRequestFixture : public coxKernelFixture {
  protected:
    coxRequestFixture() {
        sp.groups.emplace_back(coxTableGroup, "FX|Table|001");
        sp.groups.emplace_back(coxThrowerGroup, "FX|Thrower|001");
        sp.groups.emplace_back(coxUnloadMeGroup, "FX|UnloadMe|001");
        dir.writeMif();
        for (const char* module : {"osComp.dll", "fxTable.dll", "fxThrower.dll", "fxUnloadMe.dll"})
            dir.copyModule(module);
    }
    // A kernel whose provider leaves the component's name in 16-bit form, so that it works
    // with wide strings.
    coxKernel_c& makeWide() {
        sp.slot[coxSlotInstallFromMIF].effect = [](const oxRecordedCall& call) {
            static_cast<oxComponent_c*>(const_cast<void*>(call.first))->name.assign(u"Os");
        };
        return make();
    }
    // The call record of a loaded fixture module.
    fxRequestRecord& record(const char* moduleName) const {
        using recordFn = fxRequestRecord* (*)();
        void* symbol = oxp::findSymbol(object(moduleName)->moduleHandle(), "fxRecordOf");
        return *reinterpret_cast<recordFn>(symbol)();
    }
    bool isLoaded(const char* moduleName) const {
        return kernel->componentObjects().contains(oxString_c(moduleName));
    }
    void reload(const char* moduleName) {
        std::uint32_t loadStatus = 0;
        ASSERT_TRUE(kernel->loadModule(oxString_c(moduleName), &loadStatus)) << loadStatus;
    }
};

// A row key of the fixtures: key attribute 1 holding the row's number.
inline oxKey_c coxRowKey(std::uint32_t row) {
    oxKey_c key(oxIdList_c{1});
    key.at(0)->value.number6 = row;
    return key;
}

// The characters of an ASCII text, read by the string's width up to its terminator.
inline std::string coxAscii(const oxString_c& text) {
    std::string bytes(text.length() + 2, '\0');
    text.copyTo(bytes.data());
    const std::size_t step = text.isWide() ? 2 : 1;
    std::string characters;
    for (std::size_t i = 0; i + step <= text.length(); i += step) {
        if (bytes[i] == 0 && (step == 1 || bytes[i + 1] == 0))
            break;
        characters += bytes[i];
    }
    return characters;
}

// UTF-16LE bytes of an ASCII text, without terminator.
inline std::string coxUtf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}
