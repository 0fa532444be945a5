// The subcommands of oxagent. Each returns the program's exit status: 0 done, 1 failed (the
// reason already on standard error), 2 a request answered with a non-zero status (get).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace oxagent {

struct ShowOptions {
    std::string directory;
    std::string database; // "" for the default file
    bool json = false;
};

struct GetOptions {
    std::string directory;
    std::string group; // decimal ID or class text
    unsigned attribute = 0;
    std::vector<std::string> keys;
    std::string database;
    bool json = false;
};

struct RunOptions {
    std::vector<std::string> directories;
    unsigned seconds = 0; // 0: until Ctrl-C or SIGTERM
    std::string database;
    std::optional<std::string> agentx; // AgentX master address; "" for the default
};

struct ListOptions {
    std::string database;
    bool json = false;
};

struct InspectOptions {
    std::string directory;
};

int runShow(const ShowOptions& options);
int runGet(const GetOptions& options);
int runRun(const RunOptions& options);
int runList(const ListOptions& options);
int runInspect(const InspectOptions& options);

} // namespace oxagent
