// Answers one request line of a control-socket client from the service's kernels, through the
// same guarded handlers and answer builders the in-process commands use. A request is one JSON
// object: {"op": "get"|"set"|"show"|"list"|"events", "dir": ABSOLUTE-DIRECTORY, "group",
// "attr", "keys", "value" as the command line gives them}.
#pragma once
#include <map>
#include <nlohmann/json.hpp>
#include <string>

class coxKernel_c;

namespace oxagent {

class oxAgentHost_c;

// The service's kernels by their absolute directory.
using oxAgentHeldKernels = std::map<std::string, coxKernel_c*>;

// The request line as JSON; a discarded value when it is not JSON.
nlohmann::json parseRequest(const std::string& line);

// Whether only run's thread may answer the request: show reads the component objects' rows,
// which their timers change on that thread.
bool answeredOnRunThread(const nlohmann::json& request);

// The answer, as the command's --json prints it; {"notHeld": true} for a directory the service
// does not hold; {"following": true} for events (the caller subscribes the client);
// {"error": TEXT} for a request that is malformed or cannot be answered.
nlohmann::ordered_json answerRequest(oxAgentHost_c& host, const oxAgentHeldKernels& held,
                                     const nlohmann::json& request);

} // namespace oxagent
