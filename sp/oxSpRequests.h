// oxSpRequests_c: answers a management request for one attribute of an installed component.
//
// The rule: when one of the host's kernels has the component (its own description's ID) and
// serves the (attribute, group) pair (its access table), the kernel's guarded get handler
// asks the component object. Its answer stands, success or failure, except status 0x2008 (the
// component does not answer that attribute): then, as when no kernel serves the pair, the
// static value from the MIF answers. For a table group the row key picks the row whose key
// attributes hold the key's values; an empty key takes the first row. A key that fits no row,
// or a key for a group without rows, gives 0x9005. No static value gives 0xC008.
#pragma once
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxKey.h"
#include "sp/oxSpDatabase.h"
#include <cstdint>
#include <string>
#include <vector>

class coxKernel_c;

struct oxSpAnswer {
    std::uint32_t status = 0;     // 0: value holds the answer
    oxAttribValue_c value{0};
    bool fromComponent = false;   // answered by a component object rather than the MIF
    std::string error;            // a text for a non-zero status
};

class oxSpRequests_c {
  public:
    explicit oxSpRequests_c(const oxSpDatabase_c& database) noexcept : database_(database) {}

    oxSpAnswer request(const std::vector<coxKernel_c*>& kernels, std::uint32_t componentId,
                       std::uint32_t groupId, std::uint32_t attributeId,
                       const oxKey_c& key) const;

    // A row key for the group from texts, one per key attribute in the group's Key order.
    // Throws oxSpError_c for an unknown group, a wrong count or a text that does not fit.
    oxKey_c makeKey(std::uint32_t componentId, std::uint32_t groupId,
                    const std::vector<std::string>& texts) const;

  private:
    oxSpAnswer staticValue(std::uint32_t componentId, std::uint32_t groupId,
                           std::uint32_t attributeId, const oxKey_c& key) const;
    const oxSpDatabase_c& database_;
};
