#include "agent/oxAgentRequest.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentStatusText.h"
#include "framework/base/coxBase.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include <charconv>

namespace oxagent {

oxSpAnswer requestAttribute(const oxSpDatabase_c& database,
                            const std::vector<coxKernel_c*>& kernels, std::uint32_t componentId,
                            std::uint32_t groupId, std::uint32_t attributeId, const oxKey_c& key) {
    const oxSpRequests_c requests(database);
    oxSpAnswer answer = requests.request(kernels, componentId, groupId, attributeId, key);
    if (answer.status != oxSpStatusNoValue)
        return answer;
    if (coxKernel_c* kernel = kernelOf(kernels, componentId)) {
        oxAttribValue_c value(attributeId);
        oxKey_c rowKey(key);
        std::uint32_t status = oxStatusSuccess;
        const std::uint32_t group = groupId;
        kernel->getAttribute(value, &group, rowKey, 0, 0, &status);
        if (status != oxStatusSuccess && status != oxStatusAttributeNotAnswered) {
            answer.status = status;
            answer.error = statusMeaning(status);
        }
    }
    return answer;
}

std::string enumerationName(const oxMifAttribute& attribute, const std::string& valueText) {
    for (const oxMifEnumItem& item : attribute.enumeration)
        if (std::to_string(item.value) == valueText)
            return item.name;
    return "";
}

std::uint32_t resolveGroup(const oxSpDatabase_c& database, std::uint32_t componentId,
                           const std::string& idOrClass) {
    std::uint32_t id = 0;
    const char* end = idOrClass.data() + idOrClass.size();
    const auto [at, error] = std::from_chars(idOrClass.data(), end, id);
    const bool numeric = !idOrClass.empty() && error == std::errc() && at == end;
    for (const oxSpGroupInfo& group : database.groups(componentId))
        if (numeric ? group.id == id : group.groupClass == idOrClass)
            return group.id;
    throw oxAgentError_c("the component has no group " + idOrClass);
}

oxKey_c rowKey(const oxSpDatabase_c& database, std::uint32_t componentId, std::uint32_t groupId,
               const std::vector<std::string>& texts) {
    try {
        return oxSpRequests_c(database).makeKey(componentId, groupId, texts);
    } catch (const oxSpError_c& e) {
        throw oxAgentError_c(std::string("--key: ") + e.what());
    }
}

coxKernel_c* kernelOf(const std::vector<coxKernel_c*>& kernels, std::uint32_t componentId) {
    for (coxKernel_c* kernel : kernels)
        if (kernel->ownDescription().id == componentId)
            return kernel;
    return nullptr;
}

const oxKeyList_c* componentRows(const coxKernel_c& kernel, std::uint32_t groupId) {
    const coxBaseList_c& objects = kernel.componentObjects();
    for (std::uint32_t i = 0; i < objects.count(); ++i)
        if (objects.at(i)->servedGroup().id == groupId && objects.at(i)->rowKeys().count() != 0)
            return &objects.at(i)->rowKeys();
    return nullptr;
}

} // namespace oxagent
