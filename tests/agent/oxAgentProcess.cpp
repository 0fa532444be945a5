#include "tests/agent/oxAgentProcess.h"
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int serial = 0;

} // namespace

oxAgentProcess_c::oxAgentProcess_c(const std::vector<std::string>& arguments,
                                   const std::filesystem::path& folder,
                                   const std::vector<std::string>& environment) {
    ++serial;
    out_ = folder / ("out" + std::to_string(serial) + ".txt");
    err_ = folder / ("err" + std::to_string(serial) + ".txt");
    const std::string program = OX_BIN_DIR "/oxagent";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    for (const std::string& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int failed =
        posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw std::runtime_error("cannot start " + program);
}

oxAgentProcess_c::~oxAgentProcess_c() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

void oxAgentProcess_c::sendSignal(int signal) {
    if (pid_ > 0)
        kill(pid_, signal);
}

oxAgentResult oxAgentProcess_c::wait(std::chrono::seconds timeout) {
    oxAgentResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (pid_ > 0) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR)) {
            pid_ = -1;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline)
            kill(pid_, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.out = readAll(out_);
    result.err = readAll(err_);
    return result;
}

std::string oxAgentProcess_c::outputSoFar() const {
    return readAll(out_);
}

oxAgentResult oxAgentRun(const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder,
                         const std::vector<std::string>& environment) {
    oxAgentProcess_c process(arguments, folder, environment);
    return process.wait();
}
