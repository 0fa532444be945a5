// One attribute request as the host makes it, and the texts of its answer.
//
// The service provider's rule answers first (a kernel that serves the pair asks its
// component object; otherwise the MIF's static value). When neither answers (no static value),
// the kernel's own get handler is asked, so that the status says why the component gave
// nothing: 0x2007 (it does not serve that attribute) or 0x7005 (no object serves the group).
#pragma once
#include "framework/model/oxKey.h"
#include "sp/oxMifModel.h"
#include "sp/oxSpRequests.h"
#include <cstdint>
#include <string>
#include <vector>

class coxKernel_c;
class oxKeyList_c;
class oxSpDatabase_c;

namespace oxagent {

oxSpAnswer requestAttribute(const oxSpDatabase_c& database,
                            const std::vector<coxKernel_c*>& kernels, std::uint32_t componentId,
                            std::uint32_t groupId, std::uint32_t attributeId, const oxKey_c& key);

// The enumeration name of the value's text for an enumerated attribute, "" when none.
std::string enumerationName(const oxMifAttribute& attribute, const std::string& valueText);

// The group's ID from a decimal ID or a class text ("DMTF|ComponentID|001"); the first group
// of that class wins. Throws oxAgentError_c when the component has no such group.
std::uint32_t resolveGroup(const oxSpDatabase_c& database, std::uint32_t componentId,
                           const std::string& idOrClass);

// The row key of a table group from texts, one per key attribute. Throws oxAgentError_c
// ("--key: ...") when they do not fit.
oxKey_c rowKey(const oxSpDatabase_c& database, std::uint32_t componentId, std::uint32_t groupId,
               const std::vector<std::string>& texts);

// The kernel whose component has the ID; null when none has.
coxKernel_c* kernelOf(const std::vector<coxKernel_c*>& kernels, std::uint32_t componentId);

// The rows the component object serving the group keeps, when the description file lists none:
// a table whose rows only the instrumentation knows (its keys are the component's). Null when
// no object serves the group or it keeps no rows. Read it on the thread that drives the
// kernel's timers, which may change the rows.
const oxKeyList_c* componentRows(const coxKernel_c& kernel, std::uint32_t groupId);

} // namespace oxagent
