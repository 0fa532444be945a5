// oxagent: the host program. Parses the command line and runs one subcommand.
#include "agent/oxAgentBoxes.h"
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentHost.h"
#include "framework/diag/oxExceptions.h"
#include "sp/oxSpStatus.h"
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>

namespace {

constexpr const char* outOfMemoryLine = "oxagent: out of memory\n";

// Once main runs, ends a termination with the reason. With no active exception the runtime
// could not allocate one, which only a shortage of memory does; a memory exception thrown
// where none may leave is the same shortage. Anything else is a fault of the program.
[[noreturn]] void terminateWithReason() noexcept {
    bool memory = true;
    if (const std::exception_ptr active = std::current_exception()) {
        try {
            std::rethrow_exception(active);
        } catch (const std::bad_alloc&) {
        } catch (const oxInsufficientMemory_c&) {
        } catch (...) {
            memory = false;
        }
    }
    if (!memory) {
        std::fputs("oxagent: internal error: an exception left a function that may not throw\n",
                   stderr);
        std::abort();
    }
    std::fflush(stdout);
    std::fputs(outOfMemoryLine, stderr);
    std::_Exit(1);
}

void addDatabaseOption(CLI::App& command, std::string& database) {
    command.add_option("--db", database,
                       "database file; \":memory:\" for none (default: "
                       "$XDG_STATE_HOME/ox/oxagent.db)");
}

constexpr const char* controlHelp =
    "the service's control socket (default: $XDG_RUNTIME_DIR/ox/oxagent.sock)";

// A client command asks the running service first and works in-process when none answers.
void addClientOptions(CLI::App& command, oxagent::ClientOptions& client) {
    command.add_option("--control", client.control, controlHelp);
    command.add_option("--timeout", client.timeout,
                       "seconds to wait for the service's answer (default 60)");
    command.add_flag("--verbose", client.verbose,
                     "say whether the service or this process answered");
}

// DIR --group ID|CLASS --attr N [--key VALUE...] and the client's and output's options.
void addAttributeOptions(CLI::App& command, oxagent::AttributeOptions& options) {
    command.add_option("DIR", options.directory, "instrumentation directory")->required();
    command.add_option("--group", options.group, "group ID or class text")->required();
    command.add_option("--attr", options.attribute, "attribute ID")->required();
    command.add_option("--key", options.keys, "row key values, one per key attribute");
    addDatabaseOption(command, options.database);
    command.add_flag("--json", options.json, "print JSON");
    addClientOptions(command, options.client);
}

} // namespace

int main(int argc, char** argv) {
    std::set_terminate(terminateWithReason);
    using namespace oxagent;
    CLI::App app("oxagent: hosts DMI component instrumentation, one kernel per directory",
                 "oxagent");
    app.require_subcommand(1);

    ShowOptions show;
    CLI::App* showCommand =
        app.add_subcommand("show", "print a directory's component, groups and attribute values");
    showCommand->add_option("DIR", show.directory, "instrumentation directory")->required();
    addDatabaseOption(*showCommand, show.database);
    showCommand->add_flag("--json", show.json, "print JSON");
    addClientOptions(*showCommand, show.client);

    GetOptions get;
    CLI::App* getCommand = app.add_subcommand("get", "ask for one attribute's value");
    addAttributeOptions(*getCommand, get);

    SetOptions set;
    CLI::App* setCommand =
        app.add_subcommand("set", "reserve, then set one attribute's value (released if refused)");
    addAttributeOptions(*setCommand, set);
    setCommand->add_option("--value", set.value, "the new value as text")->required();

    RunOptions run;
    CLI::App* runCommand =
        app.add_subcommand("run", "the service: hold directories, answer clients, poll, print events");
    runCommand->add_option("DIR", run.directories, "instrumentation directories")->required();
    runCommand->add_option("--seconds", run.seconds, "stop after N seconds (0: until a signal)");
    addDatabaseOption(*runCommand, run.database);
    runCommand->add_option("--control", run.control, controlHelp);
    std::string agentx;
    CLI::Option* agentxOption =
        runCommand->add_option("--agentx", agentx, "also serve SNMP as an AgentX subagent of "
                               "the master at SOCKET (a path or tcp:host:port; default: "
                               "net-snmp's)")->expected(0, 1);

    ListOptions list;
    CLI::App* listCommand = app.add_subcommand("list", "list installed components and groups");
    addDatabaseOption(*listCommand, list.database);
    listCommand->add_flag("--json", list.json, "print JSON");
    addClientOptions(*listCommand, list.client);

    EventsOptions events;
    CLI::App* eventsCommand =
        app.add_subcommand("events", "follow the running service's events");
    eventsCommand->add_option("--control", events.control, controlHelp);

    InspectOptions inspect;
    CLI::App* inspectCommand =
        app.add_subcommand("inspect", "list a directory's module candidates without loading any");
    inspectCommand->add_option("DIR", inspect.directory, "instrumentation directory")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 1;
    }

    installBoxPresenter();
    try {
        if (*showCommand)
            return runShow(show);
        if (*getCommand)
            return runGet(get);
        if (*setCommand)
            return runSet(set);
        if (*eventsCommand)
            return runEvents(events);
        if (*runCommand) {
            if (agentxOption->count() > 0)
                run.agentx = agentx;
            return runRun(run);
        }
        if (*listCommand)
            return runList(list);
        return runInspect(inspect);
    } catch (const oxAgentError_c& e) {
        std::cerr << "oxagent: " << e.what() << "\n";
    } catch (const oxSpError_c& e) {
        std::cerr << "oxagent: " << e.what() << "\n";
    } catch (const std::bad_alloc&) {
        std::fputs(outOfMemoryLine, stderr); // builds no text: there may be no room for one
    } catch (const oxInsufficientMemory_c&) { // its box is already on standard error
        std::fputs(outOfMemoryLine, stderr);
    } catch (const std::exception& e) {
        std::cerr << "oxagent: " << e.what() << "\n";
    }
    return 1;
}
