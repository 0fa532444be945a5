// The module candidates of a directory as the kernel's scan finds them, each with the verdict of
// the loader's test and, for one it passes over, the reason: what `inspect` prints, and what
// show, get and run report for the files a kernel skipped silently.
#pragma once
#include <string>
#include <vector>

class coxKernel_c;

namespace oxagent {

struct oxAgentCandidate {
    std::string name;                       // the file name, as the directory search gives it
    bool componentModule = false;           // the loader's test accepts it
    std::string reason;                     // why the test passes it over; "" when it accepts it
    std::vector<std::string> versionValues; // "\path = value", in declaration order
};

// The plain files of the directory that match the pattern (case ignored), sorted as the
// kernel's directory search hands them out.
std::vector<std::string> filesMatching(const std::string& directory, const char* pattern);

// Every "*.DLL" of the directory, judged by the tester kernel's own module test on its full
// path (so a module the tester already loaded is judged too). Nothing is loaded.
std::vector<oxAgentCandidate> examineCandidates(const std::string& directory,
                                                coxKernel_c& tester);

// One line on standard error for each candidate the kernel's test passed over:
// "oxagent: DIR/NAME: skipped (REASON)". A component module that failed to load is left to the
// kernel's own message.
void reportSkippedCandidates(const std::string& shownDirectory, const std::string& directory,
                             coxKernel_c& kernel);

} // namespace oxagent
