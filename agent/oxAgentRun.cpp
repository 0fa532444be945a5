// oxagent run DIR... [--seconds N] [--control PATH] [--agentx [SOCKET]]: the service. Starts
// one kernel per directory, serves clients through its services (the control socket and, with
// --agentx, SNMP), polls the kernels once a second, prints events as the components raise them
// and stops on Ctrl-C, SIGTERM or after N seconds.
// The live status line goes to standard error only when it is a terminal; otherwise a
// line a second would only fill logs.
#include "agent/oxAgentCandidates.h"
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentControlService.h"
#include "agent/oxAgentDatabasePath.h"
#include "agent/oxAgentEventLine.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentSignals.h"
#include "agent/oxAgentStatusText.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxMifReader.h"
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <termios.h>
#include <thread>
#ifdef OX_HAVE_NETSNMP
#include "agent/snmp/oxSnmpSubagent.h"
#endif

namespace oxagent {

namespace {

using steady = std::chrono::steady_clock;

bool stderrIsTerminal() {
    termios settings{};
    return tcgetattr(2, &settings) == 0;
}

std::string elapsedText(std::chrono::seconds elapsed) {
    const long long s = elapsed.count();
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::uint32_t moduleCount(const oxAgentHost_c& host) {
    std::uint32_t modules = 0;
    for (const coxKernel_c* kernel : host.kernels())
        modules += kernel->componentObjects().count();
    return modules;
}

// The component name of the directory's first MIF file (as the kernel picks it), "" when it
// has none or it cannot be read (the kernel's start-up then reports it).
std::string componentNameOf(const std::string& directory) {
    const std::vector<std::string> mifs = filesMatching(directory, "*.mif");
    if (mifs.empty())
        return "";
    try {
        return oxMifReader_c::readComponentFile(directory + "/" + mifs.front()).name;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return "";
    }
}

// Two directories of one component would not both be held: the second kernel's duplicate
// check would remove the first one's copy. Refused before any kernel starts.
void refuseSharedComponents(const std::vector<std::string>& directories) {
    std::map<std::string, std::string> holders;
    for (const std::string& directory : directories) {
        const std::string name = componentNameOf(oxAgentHost_c::absoluteDirectory(directory));
        if (name.empty())
            continue;
        const auto [at, added] = holders.emplace(name, directory);
        if (!added)
            throw oxAgentError_c(directory + ": describes the component \"" + name + "\" as " +
                                 at->second + " does");
    }
}

// Clears the provider's event hook before the services it reaches go, also on an exception.
struct EventHookReset {
    oxSqliteServiceProvider_c& serviceProvider;
    ~EventHookReset() { serviceProvider.setEventHook(nullptr); }
};

} // namespace

int runRun(const RunOptions& options) {
    // The same directory twice would make the second kernel remove the first one's copy.
    std::set<std::string> seen;
    for (const std::string& directory : options.directories)
        if (!seen.insert(oxAgentHost_c::absoluteDirectory(directory)).second)
            throw oxAgentError_c(directory + ": given twice");
    refuseSharedComponents(options.directories);

    installStopSignals();
    oxAgentHost_c host(resolveDatabasePath(options.database));
    // The ways in to the kernels. Each claims what it needs (a socket) before anything is
    // installed, is started once the kernels are up and stopped before they go.
    auto control = std::make_unique<oxAgentControlService_c>(
        host, resolveControlPath(options.control));
    oxAgentControlService_c& controlService = *control;
    std::vector<std::unique_ptr<oxAgentService_c>> services;
    services.push_back(std::move(control));
#ifdef OX_HAVE_NETSNMP
    if (options.agentx)
        services.push_back(std::make_unique<oxSnmpSubagent_c>(host.database(), host.kernels(),
                                                               *options.agentx));
#else
    if (options.agentx)
        throw oxAgentError_c("--agentx: this oxagent was built without net-snmp");
#endif

    std::atomic<std::uint64_t> events{0};
    host.serviceProvider().setEventHook([&events, &services](const oxSpEvent& event) {
        ++events;
        std::cout << eventLine(event) << std::endl;
        for (const auto& service : services)
            service->event(event);
    });
    const EventHookReset hookReset{host.serviceProvider()};
    for (const std::string& directory : options.directories) {
        const std::string absolute = oxAgentHost_c::absoluteDirectory(directory);
        coxKernel_c& kernel = host.openKernel(directory); // it changes the current directory
        controlService.hold(absolute, kernel);
        std::uint32_t status = oxStatusSuccess;
        if (!kernel.start(&status))
            std::cerr << "oxagent: " << directory << ": not started, " << statusText(status)
                      << "\n";
        std::cout << "holding " << directory << ": component " << kernel.ownDescription().id << ", "
                  << kernel.componentObjects().count() << " module(s)" << std::endl;
    }

    for (const auto& service : services)
        service->start();
    const bool live = stderrIsTerminal();
    const steady::time_point begin = steady::now();
    steady::time_point nextPoll = begin + std::chrono::seconds(1);
    std::uint64_t polls = 0;
    while (!stopRequested()) {
        if (steady::now() >= nextPoll) {
            for (coxKernel_c* kernel : host.kernels())
                kernel->poll();
            ++polls;
            nextPoll += std::chrono::seconds(1);
            if (live)
                std::cerr << "\r" << elapsedText(std::chrono::seconds(polls)) << "  components "
                          << host.kernels().size() << "  modules " << moduleCount(host)
                          << "  events " << events.load() << "   " << std::flush;
        }
        // N seconds: N polls, the last one at the end of the N-th second.
        if (options.seconds != 0 && polls >= options.seconds)
            break;
        for (const auto& service : services)
            service->poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (live)
        std::cerr << "\n";
    const int signal = stopSignal();
    for (auto service = services.rbegin(); service != services.rend(); ++service)
        (*service)->stop();
    const std::size_t kernels = host.kernels().size();
    host.closeAll();
    std::cout << "stopped" << (signal != 0 ? " on signal " + std::to_string(signal) : "") << "; "
              << kernels << " kernel(s) torn down, " << events.load() << " event(s)" << std::endl;
    return 0;
}

} // namespace oxagent
