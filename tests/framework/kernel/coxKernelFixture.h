// Common ground of the kernel's start-up, loader, list and lifecycle tests: a directory, the
// recording provider with the groups the modules serve, the boxes, and helpers to read a
// kernel's loaded modules.
#pragma once
#include "coxKernelDirectory.h"
#include "framework/base/coxBase.h"
#include "framework/kernel/coxKernel.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using coxSlots = std::vector<std::uint32_t>;
using coxNames = std::vector<std::string>;

constexpr std::uint32_t coxComponentIdGroup = 11;
constexpr std::uint32_t coxTimerGroup = 12;
constexpr std::uint32_t coxTimerEventGroup = 13;

class coxKernelFixture : public ::testing::Test {
  protected:
    coxKernelFixture() {
        sp.groups = {{coxComponentIdGroup, "DMTF|ComponentID|001"},
                     {coxTimerGroup, "FK|Timer|001"},
                     {coxTimerEventGroup, "FK|TimerEvent|001"}};
        // The message object keeps its last formatted text: have it hold one already, so that
        // allocation counts see only what a test itself leaves.
        oxMessages_c::instance().reportText("warm-up", 0, oxString_c("warm-up"));
        boxes.clear();
    }
    // The provider's groups back to the fixture's three, listed into the kernel again (the
    // file groups of loads that were taken back stay in both otherwise).
    void relistGroups() {
        sp.groups.resize(3);
        std::uint32_t listStatus = 0;
        sp.listGroups(kernel->ownDescription(), kernel->groups(), kernel->spContext(), &listStatus);
        sp.calls.pop_back();
    }
    // The tests' effects refer to their own locals: they do not outlive the test body.
    ~coxKernelFixture() override {
        for (oxSlotProgram& program : sp.slot)
            program = oxSlotProgram();
        kernel.reset();
    }

    coxKernel_c& make() {
        kernel = std::make_unique<coxKernel_c>(dir.directory(), &sp, &status);
        return *kernel;
    }
    coxKernel_c& makeFromMifName(const char* mifName) {
        kernel = std::make_unique<coxKernel_c>(oxString_c(mifName), dir.directory(), &sp, &status);
        return *kernel;
    }

    // Module names of the kernel's component objects, in list order.
    coxNames loaded() const {
        coxNames names;
        for (std::uint32_t i = 0; i < kernel->componentObjects().count(); ++i)
            names.emplace_back(kernel->componentObjects().at(i)->moduleName().text());
        return names;
    }
    coxBase_c* object(const char* moduleName) const {
        return kernel->componentObjects().find(oxString_c(moduleName));
    }
    // The classes of the marker groups the fixtures' coxBaseDestruct deletes, in order.
    coxNames destructed() const {
        coxNames names;
        for (const oxRecordedCall& call : sp.callsOf(coxSlotDeleteGroup))
            if (call.text.rfind("destruct ", 0) == 0)
                names.push_back(call.text.substr(9));
        return names;
    }
    static bool loadedFile(oxp::ModuleHandle handle) {
        return !oxp::moduleFileName(handle).empty();
    }

    coxKernelDirectory dir;
    oxBoxRecorder boxes;
    oxRecordingServiceProvider sp;
    std::uint32_t status = 0;
    std::unique_ptr<coxKernel_c> kernel;
};

// One box: its text starts with the source header and holds the given piece.
inline ::testing::AssertionResult coxBoxIs(const oxRecordedBox& box, const std::string& source,
                                          std::uint32_t line, const std::string& piece) {
    const std::string header = source + "::" + std::to_string(line) + "\n";
    if (box.text.rfind(header, 0) == 0 && box.text.find(piece) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "box \"" << box.text << "\" is not " << header << "... " << piece;
}

inline const std::string coxKern = "..\\..\\coxKern";
inline const std::string coxKern1 = "..\\coxKern1";
inline const std::string moduleFailed = "The component module ";
