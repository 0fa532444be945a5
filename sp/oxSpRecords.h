// What the provider's database hands back to hosts: installed components, their groups,
// originated events. Attributes come back as oxMifAttribute, table rows as oxMifRow.
#pragma once
#include "sp/oxSpProcess.h"
#include <cstdint>
#include <string>
#include <vector>

struct oxSpComponentInfo {
    std::uint32_t id = 0;
    std::string name;
    std::string description;
    std::string source; // the MIF file's name, without folder
    std::string language;
    oxSpProcess owner; // the process that installed it; unknown for older databases
};

struct oxSpGroupInfo {
    std::uint32_t id = 0;
    std::string groupClass;
    std::string name;
    std::string description;
    std::vector<std::uint32_t> keys;
    std::vector<std::uint32_t> attributeIds; // in MIF order
    std::string definitionFile; // set for groups added from a .grp or .evt file
};

struct oxSpEventValue {
    std::uint32_t attributeId = 0;
    std::uint32_t kind = 0; // the oxValue_c kind it arrived as
    std::string text;       // numbers in decimal, octet strings in hexadecimal
};

struct oxSpEvent {
    std::int64_t id = 0; // increases with every event; hosts poll with the last one seen
    std::uint32_t componentId = 0;
    std::uint32_t groupId = 0;
    std::string groupClass;
    std::uint32_t a = 0, b = 0, c = 0; // passed through from the component
    std::string time;                  // UTC, "YYYY-MM-DD HH:MM:SS"
    std::vector<oxSpEventValue> values;
};
