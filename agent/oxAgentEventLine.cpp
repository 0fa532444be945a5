#include "agent/oxAgentEventLine.h"

namespace oxagent {

std::string eventLine(const oxSpEvent& event) {
    std::string line = "event " + std::to_string(event.id) + " at " + event.time + ": component " +
                       std::to_string(event.componentId) + " group " +
                       std::to_string(event.groupId) + " (" + event.groupClass + ")";
    for (const oxSpEventValue& value : event.values)
        line += " " + std::to_string(value.attributeId) + "=" + value.text;
    return line;
}

} // namespace oxagent
