#include "agent/oxAgentCandidates.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "platform/oxpDirectory.h"
#include "platform/oxpVersion.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace oxagent {

namespace {

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

// Why the loader's test passed the file over. The test reads the file and its version block
// and tells no reason, so the reasons are found here in the same order.
std::string reasonSkipped(const std::string& path, const oxAgentCandidate& candidate) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::string("cannot be read: ") + std::strerror(errno);
    const bool empty = std::fgetc(file) == EOF;
    std::fclose(file);
    if (empty)
        return "empty file";
    if (candidate.versionValues.empty())
        return "no version block";
    return "its version block has no \\OXInfo\\coxBaseTag";
}

} // namespace

std::vector<std::string> filesMatching(const std::string& directory, const char* pattern) {
    std::vector<std::string> names;
    oxp::FindData data{};
    const oxp::FindHandle search = oxp::findFirstFile((directory + "/" + pattern).c_str(), &data);
    if (search == oxp::invalidFindHandle)
        return names;
    do
        names.push_back(data.fileName);
    while (oxp::findNextFile(search, &data));
    oxp::findClose(search);
    return names;
}

std::vector<oxAgentCandidate> examineCandidates(const std::string& directory,
                                                coxKernel_c& tester) {
    std::vector<oxAgentCandidate> candidates;
    for (const std::string& name : filesMatching(directory, "*.DLL")) {
        const std::string path = directory + "/" + name;
        oxAgentCandidate candidate{name, false, "", versionValues(path)};
        std::uint32_t status = oxStatusSuccess;
        candidate.componentModule = tester.isComponentModule(oxString_c(path.c_str()), &status);
        if (!candidate.componentModule)
            candidate.reason = reasonSkipped(path, candidate);
        candidates.push_back(std::move(candidate));
    }
    return candidates;
}

void reportSkippedCandidates(const std::string& shownDirectory, const std::string& directory,
                             coxKernel_c& kernel) {
    for (const oxAgentCandidate& candidate : examineCandidates(directory, kernel))
        if (!candidate.componentModule)
            std::cerr << "oxagent: " << (std::filesystem::path(shownDirectory) / candidate.name).string()
                      << ": skipped (" << candidate.reason << ")\n";
}

} // namespace oxagent
