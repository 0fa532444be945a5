// oxagent inspect DIR: the module candidates of a directory ("*.DLL", any case), the string
// values of their version blocks and whether the kernel's loader test accepts them (or why
// not: unreadable, empty, no version block, no tag in it). Nothing is
// loaded: the version blocks are read from the files, and the test runs on a probe kernel
// over an empty folder, so it starts no component.
#include "agent/oxAgentCandidates.h"
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentHost.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSqliteServiceProvider.h"
#include <filesystem>
#include <iostream>
#include <random>

namespace oxagent {

namespace {

namespace fs = std::filesystem;

// An empty folder for the probe kernel, removed on every way out.
class ProbeFolder {
  public:
    ProbeFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("oxagent-probe-" + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~ProbeFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ProbeFolder(const ProbeFolder&) = delete;
    ProbeFolder& operator=(const ProbeFolder&) = delete;
    const fs::path& path() const noexcept { return path_; }

  private:
    fs::path path_;
};

} // namespace

int runInspect(const InspectOptions& options) {
    const std::string directory = oxAgentHost_c::absoluteDirectory(options.directory);
    if (filesMatching(directory, "*.DLL").empty()) {
        std::cout << "No module candidates (*.DLL) in " << directory << ".\n";
        return 0;
    }
    const ProbeFolder folder;
    oxSqliteServiceProvider_c sp(":memory:");
    std::uint32_t status = oxStatusSuccess;
    coxKernel_c probe(oxString_c(folder.path().string().c_str()), &sp, &status);
    for (const oxAgentCandidate& candidate : examineCandidates(directory, probe)) {
        std::cout << candidate.name << ": "
                  << (candidate.componentModule ? "component module" : "not a component module")
                  << "\n";
        if (!candidate.reason.empty())
            std::cout << "  " << candidate.reason << "\n";
        for (const std::string& value : candidate.versionValues)
            std::cout << "  " << value << "\n";
    }
    return 0;
}

} // namespace oxagent
