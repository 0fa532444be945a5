// The subcommands of oxagent. Each returns the program's exit status: 0 done, 1 failed (the
// reason already on standard error), 2 a request answered with a non-zero status (get, set).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace oxagent {

// How a client command reaches the service: its control socket ("" for the default one), how
// long it waits for the answer, and whether to say on standard error who answered.
struct ClientOptions {
    std::string control;
    unsigned timeout = 60; // seconds
    bool verbose = false;
};

struct ShowOptions {
    std::string directory;
    std::string database; // "" for the default file
    bool json = false;
    ClientOptions client;
};

// One attribute of one row: what get and set both name.
struct AttributeOptions {
    std::string directory;
    std::string group; // decimal ID or class text
    unsigned attribute = 0;
    std::vector<std::string> keys;
    std::string database;
    bool json = false;
    ClientOptions client;
};

struct GetOptions : AttributeOptions {};

struct SetOptions : AttributeOptions {
    std::string value;
};

struct RunOptions {
    std::vector<std::string> directories;
    unsigned seconds = 0; // 0: until Ctrl-C or SIGTERM
    std::string database;
    std::string control; // "" for the default socket
    std::optional<std::string> agentx; // AgentX master address; "" for the default
};

struct ListOptions {
    std::string database;
    bool json = false;
    ClientOptions client;
};

struct EventsOptions {
    std::string control;
};

struct InspectOptions {
    std::string directory;
};

int runShow(const ShowOptions& options);
int runGet(const GetOptions& options);
int runSet(const SetOptions& options);
int runEvents(const EventsOptions& options);
int runRun(const RunOptions& options);
int runList(const ListOptions& options);
int runInspect(const InspectOptions& options);

} // namespace oxagent
