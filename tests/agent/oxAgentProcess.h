// The program tests' fixture: the built oxagent run as a child process with its output in files
// of a temporary folder, which also holds a copy of the example directory and the database.
#pragma once
#include "tests/sp/oxSpTestFolder.h"
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

// The exit code is -1 when a signal ended the child.
struct oxAgentResult { int exitCode = -1; std::string out, err; };

// One child (oxagent unless another program is given); killed and reaped if it still runs at
// the end.
struct oxAgentProcess_c {
    oxAgentProcess_c(std::vector<std::string> arguments, const oxSpTestFolder& folder,
                     const char* program = OX_BIN_DIR "/oxagent")
        : out(folder.file("out" + std::to_string(++serial))), err(out + ".err") {
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT, 0644);
        if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&files);
    }
    ~oxAgentProcess_c() {
        if (pid > 0 && kill(pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
    }
    oxAgentResult wait() { // the test's time limit ends a child that never stops
        int status = 0;
        if (pid <= 0 || waitpid(std::exchange(pid, -1), &status, 0) <= 0)
            return {};
        oxAgentResult r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ""};
        for (auto [file, text] : {std::pair{&out, &r.out}, std::pair{&err, &r.err}}) {
            std::ifstream in(*file, std::ios::binary);
            text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return r;
    }

    inline static int serial = 0;
    pid_t pid = -1;
    std::string out, err;
};

class oxAgentProgramTest : public ::testing::Test {
  protected:
    // The service's default control socket lies in the test's own folder.
    oxAgentProgramTest() {
        std::filesystem::copy(OX_BIN_DIR "/../examples/os", os);
        std::filesystem::create_directory(folder.file("run"));
        setenv("XDG_RUNTIME_DIR", folder.file("run").c_str(), 1);
    }

    oxAgentResult agent(const std::vector<std::string>& arguments) {
        return oxAgentProcess_c(arguments, folder).wait();
    }
    // The installed components as `list --json` gives them.
    nlohmann::json listed() { return nlohmann::json::parse(agent({"list", "--db", db, "--json"}).out); }

    oxSpTestFolder folder;
    std::string os = folder.file("os"), db = folder.file("agent.db");
};
