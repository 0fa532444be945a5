#include "agent/oxAgentClient.h"
#include "agent/oxAgentControlSocket.h"
#include "agent/oxAgentHost.h"
#include <iostream>

namespace oxagent {

std::optional<nlohmann::ordered_json> askService(const ClientOptions& client,
                                                 const nlohmann::ordered_json& request) {
    const std::string path = resolveControlPath(client.control);
    const oxAgentFd_c fd = connectToControl(path);
    if (!fd) {
        if (client.verbose)
            std::cerr << "oxagent: no service listens on " << path << "; answering in-process\n";
        return std::nullopt;
    }
    std::string buffer, line;
    // A refusal may come before all of the request went: the answer is read either way.
    sendAll(fd.get(), request.dump() + "\n", 30000);
    if (!readLine(fd.get(), buffer, line))
        throw oxAgentError_c(path + ": the service closed the connection without an answer");
    nlohmann::ordered_json answer = nlohmann::ordered_json::parse(line, nullptr, false);
    if (answer.is_discarded())
        throw oxAgentError_c(path + ": the service's answer is not JSON");
    if (answer.is_object() && answer.contains("notHeld")) {
        if (client.verbose)
            std::cerr << "oxagent: the service on " << path << " does not hold "
                      << request.value("dir", "") << "; answering in-process\n";
        return std::nullopt;
    }
    if (answer.is_object() && answer.contains("error") && !answer.contains("status"))
        throw oxAgentError_c(answer["error"].get<std::string>());
    if (client.verbose)
        std::cerr << "oxagent: answered by the service on " << path << "\n";
    return answer;
}

} // namespace oxagent
