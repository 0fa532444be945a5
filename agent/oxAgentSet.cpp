// oxagent set DIR --group ID|CLASS --attr N --value V [--key VALUE...]: a guarded reserve of
// the value, then the set; a refused set releases what the reserve took. A non-zero status is
// printed with its meaning and the step it came from, with exit status 2.
#include "agent/oxAgentAnswers.h"
#include "agent/oxAgentClient.h"
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentRequest.h"
#include "agent/oxAgentStatusText.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include <iostream>

namespace oxagent {

namespace {

oxAttribValue_c valueFromText(const oxSpDatabase_c& database, std::uint32_t componentId,
                              std::uint32_t groupId, std::uint32_t attributeId,
                              const std::string& text) {
    for (const oxMifAttribute& a : database.attributes(componentId, groupId)) {
        if (a.id != attributeId)
            continue;
        if (a.maxLength != 0 && text.size() > a.maxLength)
            throw oxAgentError_c("--value: longer than the attribute's " +
                                 std::to_string(a.maxLength) + " octets");
        oxAttribValue_c value(attributeId);
        try {
            value.value = oxSpValueFromText(a.type, text);
        } catch (const oxSpError_c& e) {
            throw oxAgentError_c(std::string("--value: ") + e.what());
        }
        return value;
    }
    throw oxAgentError_c("the group has no attribute " + std::to_string(attributeId));
}

} // namespace

ordered_json setAnswer(oxAgentHost_c& host, coxKernel_c& kernel, const std::string& group,
                       std::uint32_t attribute, const std::vector<std::string>& keys,
                       const std::string& text) {
    const std::uint32_t componentId = kernel.ownDescription().id;
    const std::uint32_t groupId = resolveGroup(host.database(), componentId, group);
    oxKey_c key = rowKey(host.database(), componentId, groupId, keys);
    const oxAttribValue_c value = valueFromText(host.database(), componentId, groupId, attribute, text);
    std::uint32_t status = oxStatusSuccess;
    const char* phase = "reserve";
    oxAttribValue_c reserved(value);
    if (kernel.reserveAttribute(reserved, &groupId, key, 0, 0, &status)) {
        phase = "set";
        oxAttribValue_c set(value);
        if (!kernel.setAttribute(set, &groupId, key, 0, 0, &status)) {
            std::uint32_t released = oxStatusSuccess;
            kernel.releaseAttribute(reserved, &groupId, key, 0, 0, &released);
        }
    }
    ordered_json out;
    out["group"] = groupId;
    out["attribute"] = attribute;
    out["status"] = status;
    out["phase"] = phase;
    if (status == 0)
        out["value"] = text;
    else
        out["error"] = statusText(status);
    return out;
}

int printSet(const ordered_json& answer, bool json) {
    const std::uint32_t status = answer.at("status").get<std::uint32_t>();
    if (json)
        std::cout << answer.dump(2) << "\n";
    if (status == 0)
        return 0;
    std::cerr << "oxagent: " << answer.at("phase").get<std::string>() << " refused: "
              << statusCode(status) << ": " << statusMeaning(status) << "\n";
    return 2;
}

int runSet(const SetOptions& options) {
    ordered_json request = attributeRequest("set", options);
    request["value"] = options.value;
    const ordered_json answer = answerOnDirectory(
        options.client, options.database, options.directory, std::move(request),
        [&options](oxAgentHost_c& host, coxKernel_c& kernel) {
            return setAnswer(host, kernel, options.group, options.attribute, options.keys,
                             options.value);
        });
    return printSet(answer, options.json);
}

} // namespace oxagent
