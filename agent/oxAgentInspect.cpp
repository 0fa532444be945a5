// oxagent inspect DIR: the module candidates of a directory ("*.DLL", any case), the string
// values of their version blocks and whether the kernel's loader test accepts them. Nothing is
// loaded: the version blocks are read from the files, and the test runs on a probe kernel
// over an empty folder, so it starts no component.
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentHost.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "platform/oxpPath.h"
#include "platform/oxpVersion.h"
#include "sp/oxSqliteServiceProvider.h"
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <random>

namespace oxagent {

namespace {

namespace fs = std::filesystem;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The files the loader would consider, sorted as its directory search sorts them.
std::vector<fs::path> candidates(const std::string& directory) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        if (entry.is_regular_file() && lower(entry.path().extension().string()) == ".dll")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        return lower(a.filename().string()) < lower(b.filename().string());
    });
    return files;
}

std::vector<std::string> versionValues(const std::string& file) {
    std::vector<std::string> values;
    const std::uint32_t size = oxp::getFileVersionInfoSize(file.c_str());
    if (size == 0)
        return values;
    std::vector<unsigned char> block(size);
    if (!oxp::getFileVersionInfo(file.c_str(), size, block.data()))
        return values;
    const char* path = nullptr;
    const char* value = nullptr;
    for (std::uint32_t i = 0; oxp::versionValueAt(block.data(), i, &path, &value); ++i)
        values.push_back(std::string(path) + " = " + value);
    return values;
}

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
    const std::vector<fs::path> files = candidates(directory);
    if (files.empty()) {
        std::cout << "No module candidates (*.DLL) in " << directory << ".\n";
        return 0;
    }
    const ProbeFolder folder;
    oxSqliteServiceProvider_c sp(":memory:");
    std::uint32_t status = oxStatusSuccess;
    coxKernel_c probe(oxString_c(folder.path().string().c_str()), &sp, &status);
    for (const fs::path& file : files) {
        const std::string path = file.string();
        std::uint32_t test = oxStatusSuccess;
        const bool accepted = probe.isComponentModule(oxString_c(path.c_str()), &test);
        std::cout << file.filename().string() << ": "
                  << (accepted ? "component module" : "not a component module") << "\n";
        const std::vector<std::string> values = versionValues(path);
        if (values.empty())
            std::cout << "  no version block\n";
        for (const std::string& value : values)
            std::cout << "  " << value << "\n";
    }
    return 0;
}

} // namespace oxagent
