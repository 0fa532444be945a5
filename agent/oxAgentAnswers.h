// The answers of the client commands as JSON, built against a host and printed by the command:
// the in-process commands and the service's control socket build the same objects, so a client
// prints the same lines whichever of the two answered.
#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

class coxKernel_c;
class oxSpDatabase_c;

namespace oxagent {

class oxAgentHost_c;

using nlohmann::ordered_json;

// One attribute request: group, attribute, status, then value, kind and meaning or error.
// Throws oxAgentError_c for a group the component does not have or keys that do not fit.
ordered_json getAnswer(oxAgentHost_c& host, coxKernel_c& kernel, const std::string& group,
                       std::uint32_t attribute, const std::vector<std::string>& keys);
// A guarded reserve of the value, then the set; a refused set releases the reservation. Like
// getAnswer, with "phase" (reserve or set) naming the step a non-zero status comes from.
ordered_json setAnswer(oxAgentHost_c& host, coxKernel_c& kernel, const std::string& group,
                       std::uint32_t attribute, const std::vector<std::string>& keys,
                       const std::string& value);
// The component with its groups and every attribute's value, as `show --json` prints it.
ordered_json showAnswer(oxAgentHost_c& host, coxKernel_c& kernel);
// The installed components and their groups, as `list --json` prints it.
ordered_json listAnswer(const oxSpDatabase_c& database);

// Print an answer as the command does and return its exit status (2 for a non-zero status).
int printGet(const ordered_json& answer, bool json);
int printSet(const ordered_json& answer, bool json);
int printShow(const ordered_json& answer, bool json);
int printList(const ordered_json& answer, bool json);

} // namespace oxagent
