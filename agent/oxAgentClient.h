// The client side of the control socket: one request to the running service, or none when no
// service listens or the one that does holds no such directory (the command then works
// in-process).
#pragma once
#include "agent/oxAgentCommands.h"
#include <nlohmann/json.hpp>
#include <optional>

namespace oxagent {

// The service's answer. None when no service listens on the socket or it does not hold the
// request's directory; --verbose says on standard error which way the command goes. Throws
// oxAgentError_c with the service's text when it refuses the request.
std::optional<nlohmann::ordered_json> askService(const ClientOptions& client,
                                                 const nlohmann::ordered_json& request);

} // namespace oxagent
