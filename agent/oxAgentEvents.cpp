// oxagent events [--control PATH]: follows the running service's events, one line each as
// `run` prints them, until the service stops, Ctrl-C or SIGTERM.
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentControlSocket.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentSignals.h"
#include <cerrno>
#include <iostream>
#include <sys/socket.h>
#include <nlohmann/json.hpp>

namespace oxagent {

int runEvents(const EventsOptions& options) {
    installStopSignals();
    const std::string path = resolveControlPath(options.control);
    const oxAgentFd_c fd = connectToControl(path);
    if (!fd)
        throw oxAgentError_c(path + ": no service listens there");
    std::string buffer, line;
    if (!sendAll(fd.get(), "{\"op\":\"events\"}\n", 30000) || !readLine(fd.get(), buffer, line))
        throw oxAgentError_c(path + ": the service closed the connection without an answer");
    const nlohmann::json accepted = nlohmann::json::parse(line, nullptr, false);
    if (!accepted.is_object() || !accepted.contains("following"))
        throw oxAgentError_c(accepted.is_object() && accepted.contains("error")
                                 ? accepted["error"].get<std::string>()
                                 : path + ": the service did not take the request");
    std::cerr << "oxagent: following the events of the service on " << path << std::endl;
    // Waits end every fifth of a second, so a stop signal that came just before one is seen.
    const timeval tick{0, 200000};
    setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
    for (;;) {
        errno = 0;
        if (!readLine(fd.get(), buffer, line)) {
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && !stopRequested())
                continue;
            break;
        }
        const nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_object() && event.contains("event") && event["event"].is_string())
            std::cout << event["event"].get<std::string>() << std::endl;
        else if (event.is_object() && event.contains("error") && event["error"].is_string())
            throw oxAgentError_c(event["error"].get<std::string>()); // it stopped sending them
    }
    if (!stopRequested())
        std::cerr << "oxagent: the service stopped\n";
    return 0;
}

} // namespace oxagent
