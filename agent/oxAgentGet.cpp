// oxagent get DIR --group ID|CLASS --attr N [--key VALUE...]: one request; the value alone on
// standard output, or the status with its meaning on standard error and exit status 2.
#include "agent/oxAgentAnswers.h"
#include "agent/oxAgentClient.h"
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentRequest.h"
#include "agent/oxAgentStatusText.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include <iostream>

namespace oxagent {

ordered_json getAnswer(oxAgentHost_c& host, coxKernel_c& kernel, const std::string& group,
                       std::uint32_t attribute, const std::vector<std::string>& keys) {
    const std::uint32_t componentId = kernel.ownDescription().id;
    const std::uint32_t groupId = resolveGroup(host.database(), componentId, group);
    const oxKey_c key = rowKey(host.database(), componentId, groupId, keys);
    const oxSpAnswer answer =
        requestAttribute(host.database(), host.kernels(), componentId, groupId, attribute, key);
    ordered_json out;
    out["group"] = groupId;
    out["attribute"] = attribute;
    out["status"] = answer.status;
    if (answer.status == 0) {
        const std::string text = oxSpTextOfValue(answer.value.value);
        out["value"] = text;
        out["kind"] = answer.value.value.kind;
        for (const oxMifAttribute& a : host.database().attributes(componentId, groupId))
            if (a.id == attribute && !enumerationName(a, text).empty())
                out["meaning"] = enumerationName(a, text);
    } else {
        out["error"] = statusText(answer.status);
    }
    return out;
}

int printGet(const ordered_json& answer, bool json) {
    const std::uint32_t status = answer.at("status").get<std::uint32_t>();
    if (json)
        std::cout << answer.dump(2) << "\n";
    else if (status == 0)
        std::cout << answer.at("value").get<std::string>() << "\n";
    if (status == 0)
        return 0;
    std::cerr << "oxagent: " << statusCode(status) << ": " << statusMeaning(status) << "\n";
    return 2;
}

int runGet(const GetOptions& options) {
    const ordered_json answer = answerOnDirectory(
        options.client, options.database, options.directory, attributeRequest("get", options),
        [&options](oxAgentHost_c& host, coxKernel_c& kernel) {
            return getAnswer(host, kernel, options.group, options.attribute, options.keys);
        });
    return printGet(answer, options.json);
}

} // namespace oxagent
