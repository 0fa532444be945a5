#include "agent/oxAgentHost.h"
#include "agent/oxAgentBoxes.h"
#include "agent/oxAgentCandidates.h"
#include "agent/oxAgentStatusText.h"
#include "framework/diag/oxExceptions.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "framework/types/oxString.h"
#include "sp/oxSpStatus.h"
#include "platform/oxpMemory.h"
#include <filesystem>
#include <new>

namespace oxagent {

namespace {

// The framework's exceptions carry no text: their box is already on standard error.
[[noreturn]] void rethrowAsAgentError(const std::string& directory) {
    try {
        throw;
    } catch (const oxInvalidDirectory_c&) {
        throw oxAgentError_c(directory + ": the directory cannot be used");
    } catch (const oxInsufficientMemory_c&) {
        throw; // main reports a shortage of memory alike from anywhere
    } catch (const oxFatal_c&) {
        throw oxAgentError_c(directory + ": its description file cannot be read");
    } catch (const oxInvalidIndex_c&) {
        throw oxAgentError_c(directory + ": the kernel failed while starting");
    }
}

} // namespace

oxAgentHost_c::oxAgentHost_c(const std::string& databasePath) {
    std::string path = databasePath;
    if (path != ":memory:")
        path = std::filesystem::absolute(path).lexically_normal().string();
    try {
        sp_.emplace(path);
    } catch (const oxSpError_c& e) {
        throw oxAgentError_c(e.what());
    }
}

oxAgentHost_c::~oxAgentHost_c() {
    closeAll();
}

std::string oxAgentHost_c::absoluteDirectory(const std::string& directory) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(directory, error))
        throw oxAgentError_c(directory + ": no such directory");
    const fs::path path = fs::canonical(directory, error);
    if (error)
        throw oxAgentError_c(directory + ": " + error.message());
    return path.string();
}

coxKernel_c& oxAgentHost_c::openKernel(const std::string& directory) {
    const std::string path = absoluteDirectory(directory);
    showPathsUnder(path);
    std::uint32_t status = oxStatusSuccess;
    std::unique_ptr<coxKernel_c> kernel;
    const std::uint64_t shortages = oxp::memoryShortages();
    try {
        kernel = std::make_unique<coxKernel_c>(oxString_c(path.c_str()), &*sp_, &status);
    } catch (...) {
        rethrowAsAgentError(directory);
    }
    // A module or language module the start-up could not load for want of memory leaves a
    // kernel that answers less than the directory holds: said as the shortage it is.
    if (oxp::memoryShortages() != shortages)
        throw std::bad_alloc();
    if (status == oxStatusSuccess && kernel->ownDescription().id == 0)
        status = oxStatusNoDescriptionFile;
    if (status != oxStatusSuccess) {
        std::string text = directory + ": start-up failed with " + statusText(status);
        const std::string detail = sp_->lastError();
        if (status >= oxSpStatusBadMif && status <= oxSpStatusBadArgument && !detail.empty())
            text += ": " + detail;
        throw oxAgentError_c(text); // the kernel's teardown takes back what it did
    }
    if (list_.contains(kernel->ownDescription().name))
        throw oxAgentError_c(directory + ": its component is already held by another directory");
    order_.reserve(order_.size() + 1); // out of memory here, not once the list holds it
    list_.add(kernel.get());
    order_.push_back(kernel.get());
    coxKernel_c& held = *kernel.release();
    reportSkippedCandidates(directory, path, held);
    return held;
}

void oxAgentHost_c::closeAll() noexcept {
    for (coxKernel_c* kernel : order_) {
        try {
            std::uint32_t status = oxStatusSuccess;
            kernel->stop(&status);
            list_.remove(kernel->ownDescription().name);
        } catch (...) {
        }
        delete kernel;
    }
    order_.clear();
}

} // namespace oxagent
