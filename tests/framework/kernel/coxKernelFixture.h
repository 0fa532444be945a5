// Common ground of the kernel's tests: a real instrumentation directory in a fresh temporary
// folder, the recording provider listing the groups the modules serve, the boxes, and readers
// of a kernel's loaded modules and of the role module's call records.
#pragma once
#include "framework/base/coxBase.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxMessages.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "platform/oxpModule.h"
#include "tests/modules/fkRecord.h"
#include "tests/support/oxAllocationSeam.h"
#include "tests/support/oxBoxRecorder.h"
#include "tests/support/oxRecordingServiceProvider.h"
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <stdexcept>

using ::testing::ElementsAre;
using coxSlots = std::vector<std::uint32_t>;
using coxNames = std::vector<std::string>;

// The groups the provider lists: osComp's, then those of the role module's timer and table,
// thrower and unload roles.
enum : std::uint32_t { coxIdGroup = 11, coxTimerGroup, coxTimerEventGroup };
enum : std::uint32_t { coxTableGroup = 21, coxThrowerGroup, coxUnloadMeGroup };

// Each test has a fresh directory, which stands in for the program's directory in the module
// search order so that a bare module name finds the copies there; at the end the current
// directory and the search order are restored.
class coxKernelTest : public ::testing::Test {
  protected:
    coxKernelTest() {
        oxMessages_c::instance(); // its language modules come from the build, not from here
        static unsigned serial = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir /= "coxk-" + std::to_string(stamp) + "-" + std::to_string(serial++);
        std::filesystem::create_directories(dir);
        oxp::seam::setProgramDirectory(dir.string().c_str());
        sp.groups = {
            {coxIdGroup, "DMTF|ComponentID|001"},      {coxTimerGroup, "FK|Timer|001"},
            {coxTimerEventGroup, "FK|TimerEvent|001"}, {coxTableGroup, "FK|Table|001"},
            {coxThrowerGroup, "FK|Thrower|001"},       {coxUnloadMeGroup, "FK|UnloadMe|001"}};
        // The message object keeps its last formatted text: have it hold one already, so that
        // allocation counts see only what a test itself leaves.
        oxMessages_c::instance().reportText("warm-up", 0, oxString_c("warm-up"));
        boxes.clear();
    }
    // The tests' slot effects refer to their own locals: they do not outlive the test body.
    ~coxKernelTest() override {
        std::fill(std::begin(sp.slot), std::end(sp.slot), oxSlotProgram());
        kernel.reset();
        oxp::seam::setProgramDirectory("");
        std::error_code ignored;
        std::filesystem::current_path(saved, ignored);
        std::filesystem::remove_all(dir, ignored);
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    void writeMif(const std::string& name = "Os.mif") const {
        write(name, "Start Component\nEnd Component\n");
    }
    // A built module file under its own name or another.
    void copy(const std::string& built, const std::string& name = {}) const {
        std::filesystem::copy_file(std::filesystem::path(OX_BIN_DIR) / built,
                                   dir / (name.empty() ? built : name));
    }
    // A start-up on the directory, the status on entry as given.
    coxKernel_c& make() {
        kernel = std::make_unique<coxKernel_c>(dir.string().c_str(), &sp, &(status = 0));
        return *kernel;
    }
    // A kernel on a MIF directory with osComp and the given modules, the calls forgotten.
    coxKernel_c& makeWith(std::initializer_list<const char*> roles) {
        writeMif();
        for (const char* name : roles)
            copy("fkRoles.dll", name);
        copy("osComp.dll");
        make();
        sp.calls.clear();
        return *kernel;
    }
    // Module names of the kernel's component objects, in list order.
    coxNames loaded() const {
        coxNames names;
        for (std::uint32_t i = 0; i < kernel->componentObjects().count(); ++i)
            names.emplace_back(kernel->componentObjects().at(i)->moduleName().text());
        return names;
    }
    coxBase_c* object(const char* name) const { return kernel->componentObjects().find(oxString_c(name)); }
    fkRecord& record(const char* name) const {
        void* symbol = oxp::findSymbol(object(name)->moduleHandle(), "fkRecordOf");
        return *reinterpret_cast<fkRecord* (*)()>(symbol)();
    }
    // The modules whose coxBaseDestruct ran (each deletes a marker group), in order.
    coxNames destructed() const {
        coxNames names;
        for (const oxRecordedCall& call : sp.callsOf(coxSlotDeleteGroup))
            if (call.text.rfind("destruct ", 0) == 0)
                names.push_back(call.text.substr(9));
        return names;
    }
    void expectNothingLoaded() const {
        EXPECT_EQ(kernel->componentObjects().count() + kernel->accessTable().count(), 0u);
    }

    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::path dir = std::filesystem::temp_directory_path();
    oxBoxRecorder boxes;
    oxRecordingServiceProvider sp;
    std::uint32_t status = 0;
    std::unique_ptr<coxKernel_c> kernel;
};

// A box whose text starts with the source header "<source>::<line>" and holds the piece.
inline auto coxBox(const std::string& source, std::uint32_t line, const std::string& piece) {
    const std::string header = source + "::" + std::to_string(line) + oxBoxLineBreak;
    return ::testing::Field(&oxRecordedBox::text, ::testing::AllOf(::testing::StartsWith(header),
                                                                   ::testing::HasSubstr(piece)));
}
// A provider failure, as a slot effect.
inline void coxThrow(const oxRecordedCall&) { throw std::runtime_error("provider failure"); }
inline const std::string coxKern = "..\\..\\coxKern";
inline const std::string coxKern1 = "..\\coxKern1";

// A row key of the role module: key attribute 1 holding the row's number.
inline oxKey_c coxRowKey(std::uint32_t row) {
    oxKey_c key(oxIdList_c{1});
    key.at(0)->value.number6 = row;
    return key;
}
