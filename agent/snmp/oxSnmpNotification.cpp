// Builds the variables of an event's notification from the provider's event record.
#include "agent/snmp/oxSnmpNotification.h"
#include <charconv>

namespace {

oxSnmpOid eventVariable(std::uint32_t column) {
    oxSnmpOid oid = oxSnmpMib_c::notifications();
    oid.insert(oid.end(), {1, column, 0});
    return oid;
}

bool isEventVariable(std::uint32_t id) {
    for (const std::uint32_t known : {1u, 2u, 4u, 5u, 6u, 7u, 8u, 10u, 11u})
        if (id == known)
            return true;
    return false;
}

// The record keeps octet strings in hexadecimal.
std::string octetsOfHex(const std::string& hex) {
    std::string octets;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        unsigned byte = 0;
        std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16);
        octets += static_cast<char>(byte);
    }
    return octets;
}

oxSnmpValue valueOf(const oxSpEventValue& value) {
    if (value.kind == oxValue_c::octetStringKind)
        return oxSnmpOctets(octetsOfHex(value.text));
    if (value.kind >= oxValue_c::stringKind)
        return oxSnmpOctets(value.text);
    std::int64_t number = 0;
    std::from_chars(value.text.data(), value.text.data() + value.text.size(), number);
    return oxSnmpInteger(number);
}

} // namespace

oxSnmpVariables oxSnmpEventVariables(const oxSpEvent& event) {
    oxSnmpValue trap;
    trap.type = oxSnmpType_e::objectId;
    trap.objectId = oxSnmpMib_c::notifications();
    trap.objectId.insert(trap.objectId.end(), {0, 1});
    oxSnmpVariables variables = {{{1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0}, trap}};
    variables.emplace_back(eventVariable(13), oxSnmpOctets(event.groupClass));
    variables.emplace_back(eventVariable(12), oxSnmpOctets(oxSnmpDateOfTime(event.time)));
    variables.emplace_back(oxSnmpOid{1, 3, 6, 1, 4, 1, 412, 1, 1, 2, 1, 1, 1, event.componentId},
                           oxSnmpUnsigned(event.componentId));
    for (const oxSpEventValue& value : event.values)
        if (isEventVariable(value.attributeId))
            variables.emplace_back(eventVariable(value.attributeId), valueOf(value));
    return variables;
}
