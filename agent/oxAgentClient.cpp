#include "agent/oxAgentClient.h"
#include "agent/oxAgentControlSocket.h"
#include "agent/oxAgentDatabasePath.h"
#include "agent/oxAgentHost.h"
#include <cerrno>
#include <iostream>
#include <sys/socket.h>

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
    // A service that takes the request and never answers (stopped, or held up in a component)
    // ends the wait after the timeout.
    const timeval wait{static_cast<time_t>(client.timeout), 0};
    setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    // A refusal may come before all of the request went: the answer is read either way.
    sendAll(fd.get(), request.dump() + "\n", 30000);
    errno = 0;
    if (!readLine(fd.get(), buffer, line)) {
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            throw oxAgentError_c(path + ": the service gave no answer within " +
                                 std::to_string(client.timeout) + " s");
        throw oxAgentError_c(path + ": the service closed the connection without an answer");
    }
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

nlohmann::ordered_json answerOnDirectory(const ClientOptions& client, const std::string& database,
                                         const std::string& directory,
                                         nlohmann::ordered_json request,
                                         const InProcessAnswer& inProcess) {
    request["dir"] = oxAgentHost_c::absoluteDirectory(directory);
    if (auto answer = askService(client, request))
        return std::move(*answer);
    oxAgentHost_c host(resolveDatabasePath(database));
    coxKernel_c& kernel = host.openKernel(directory);
    nlohmann::ordered_json answer = inProcess(host, kernel);
    host.closeAll();
    return answer;
}

nlohmann::ordered_json attributeRequest(const char* op, const AttributeOptions& options) {
    return {{"op", op}, {"group", options.group}, {"attr", options.attribute}, {"keys", options.keys}};
}

} // namespace oxagent
