// Shared by the base and component tests: a kernel over the recording provider, started in an
// empty folder of its own, whose group list holds the groups below; a component class that
// answers no get.
#pragma once
#include "framework/base/coxBase.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/kernel/coxKernel.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <gtest/gtest.h>
#include <filesystem>

constexpr const char* coxServed = "DMTF|ComponentID|001";
constexpr const char* coxEvent = "DMTF|Event|001";
using coxSlots = std::vector<std::uint32_t>;

class coxTestComponent_c : public coxBase_c {
  public:
    coxTestComponent_c(coxKernel_c* kernel, const char* servedClass, const char* eventClass)
        : coxBase_c(oxString_c("D"), kernel, oxIdList_c{1, 2}, servedClass, eventClass) {}
    bool getAttribute(oxAttribValue_c&, oxKey_c&, std::uint32_t, std::uint32_t,
                      std::uint32_t*) override { return false; }
};

class coxBaseTest : public ::testing::Test {
  protected:
    coxBaseTest() {
        kernel.setLoadingModuleName(oxString_c("osComp.dll"));
        relist();
    }
    ~coxBaseTest() override {
        std::error_code ignored; // the kernel made the folder current: leave it first (Windows)
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
        std::filesystem::remove_all(folder, ignored);
    }
    // The provider's groups back to the four below, listed into the kernel as its start-up
    // does; the listing is not kept, and leaks are counted from here.
    void relist() {
        sp.groups = {{3, "DMTF|Other|001"}, {11, coxServed}, {12, coxServed}, {13, coxEvent}};
        std::uint32_t status = 0;
        sp.listGroups(kernel.ownDescription(), kernel.groups(), kernel.spContext(), &status);
        sp.calls.clear();
        sp.nextGroupId = 100;
        live = oxLiveAllocations();
    }

    // The message object first: its lazy construction must not count as a leak.
    bool messagesReady = (oxMessages_c::instance(), true);
    oxRecordingServiceProvider sp;
    std::uint32_t kernelStatus = 0;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("coxEmpty-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    bool folderMade = std::filesystem::create_directories(folder);
    coxKernel_c kernel{oxString_c(folder.string().c_str()), &sp, &kernelStatus};
    oxLiveAllocations live;
};
