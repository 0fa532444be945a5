// The client side of the control socket: one request to the running service, or none when no
// service listens or the one that does holds no such directory (the command then works
// in-process).
#pragma once
#include "agent/oxAgentCommands.h"
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

class coxKernel_c;

namespace oxagent {

// The service's answer. None when no service listens on the socket or it does not hold the
// request's directory; --verbose says on standard error which way the command goes. Throws
// oxAgentError_c with the service's text when it refuses the request.
std::optional<nlohmann::ordered_json> askService(const ClientOptions& client,
                                                 const nlohmann::ordered_json& request);

class oxAgentHost_c;
using InProcessAnswer = std::function<nlohmann::ordered_json(oxAgentHost_c&, coxKernel_c&)>;

// A request about one directory (its absolute form goes in as "dir"): the service's answer, or
// the answer this process builds on a kernel of its own, over the database given, torn down
// before it returns.
nlohmann::ordered_json answerOnDirectory(const ClientOptions& client, const std::string& database,
                                         const std::string& directory,
                                         nlohmann::ordered_json request,
                                         const InProcessAnswer& inProcess);

// The request of get or set (op) for one attribute of one row, without its directory.
nlohmann::ordered_json attributeRequest(const char* op, const AttributeOptions& options);

} // namespace oxagent
