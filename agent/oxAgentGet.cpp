// oxagent get DIR --group ID|CLASS --attr N [--key VALUE...]: one request; the value alone on
// standard output, or the status with its meaning on standard error and exit status 2.
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentDatabasePath.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentRequest.h"
#include "agent/oxAgentStatusText.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include <iostream>
#include <nlohmann/json.hpp>

namespace oxagent {

int runGet(const GetOptions& options) {
    oxAgentHost_c host(resolveDatabasePath(options.database));
    coxKernel_c& kernel = host.openKernel(options.directory);
    const std::uint32_t componentId = kernel.ownDescription().id;
    const std::uint32_t groupId = resolveGroup(host.database(), componentId, options.group);
    oxKey_c key;
    try {
        key = oxSpRequests_c(host.database()).makeKey(componentId, groupId, options.keys);
    } catch (const oxSpError_c& e) {
        throw oxAgentError_c(std::string("--key: ") + e.what());
    }
    const oxSpAnswer answer = requestAttribute(host.database(), host.kernels(), componentId,
                                               groupId, options.attribute, key);
    std::string text, meaning;
    if (answer.status == 0) {
        text = oxSpTextOfValue(answer.value.value);
        for (const oxMifAttribute& a : host.database().attributes(componentId, groupId))
            if (a.id == options.attribute)
                meaning = enumerationName(a, text);
    }
    host.closeAll();

    if (options.json) {
        nlohmann::ordered_json out;
        out["group"] = groupId;
        out["attribute"] = options.attribute;
        out["status"] = answer.status;
        if (answer.status == 0) {
            out["value"] = text;
            out["kind"] = answer.value.value.kind;
            if (!meaning.empty())
                out["meaning"] = meaning;
        } else {
            out["error"] = statusText(answer.status);
        }
        std::cout << out.dump(2) << "\n";
    } else if (answer.status == 0) {
        std::cout << text << "\n";
    }
    if (answer.status != 0) {
        std::cerr << "oxagent: " << statusCode(answer.status) << ": "
                  << statusMeaning(answer.status) << "\n";
        return 2;
    }
    return 0;
}

} // namespace oxagent
