// Runs the built oxagent as a child process with its output captured in files, for the
// program tests.
#pragma once
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

struct oxAgentResult {
    int exitCode = -1; // -1 when the child did not exit normally
    int signal = 0;    // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};

class oxAgentProcess_c {
  public:
    // Starts oxagent with the arguments; output goes to files in folder. Extra environment
    // entries ("NAME=value") are added to the test's own.
    oxAgentProcess_c(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                     const std::vector<std::string>& environment = {});
    ~oxAgentProcess_c(); // kills and reaps a child still running
    oxAgentProcess_c(const oxAgentProcess_c&) = delete;
    oxAgentProcess_c& operator=(const oxAgentProcess_c&) = delete;

    void sendSignal(int signal);
    // Waits for the end (at most the timeout, then kills it) and collects the output.
    oxAgentResult wait(std::chrono::seconds timeout = std::chrono::seconds(60));
    // The standard output so far.
    std::string outputSoFar() const;

  private:
    pid_t pid_ = -1;
    std::filesystem::path out_, err_;
};

// Runs oxagent to its end.
oxAgentResult oxAgentRun(const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder,
                         const std::vector<std::string>& environment = {});
