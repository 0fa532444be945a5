#include "agent/oxAgentStatusText.h"
#include "framework/diag/oxStatus.h"
#include "sp/oxSpStatus.h"
#include <cstdio>

namespace oxagent {

namespace {

struct Meaning {
    std::uint32_t status;
    const char* text;
};

constexpr Meaning meanings[] = {
    {oxStatusSuccess, "success"},
    {oxStatusNoDescriptionFile, "the directory has no *.mif or *.mix file"},
    {oxStatusSetNotSupported, "the component does not set attributes"},
    {oxStatusAttributeNotServed, "the component does not serve that attribute"},
    {oxStatusAttributeNotAnswered, "the component serves that attribute but does not answer it"},
    {oxStatusModuleLoadFailed, "a component module could not be loaded"},
    {oxStatusNotComponentModule, "the file is not a component module"},
    {oxStatusAddRowNotSupported, "the component does not add rows"},
    {oxStatusDeleteRowNotSupported, "the component does not delete rows"},
    {oxStatusNoNextRow, "there is no next row"},
    {oxStatusNoComponent, "no component object serves that group"},
    {oxStatusUnloadMe, "the kernel has no component objects"},
    {oxStatusInvalidRowKey, "the row key fits no row of the group"},
    {oxStatusDuplicateComponent, "an older copy of the component is installed"},
    {oxSpStatusBadMif, "the description file is malformed"},
    {oxSpStatusUnreadableFile, "a file is missing or unreadable"},
    {oxSpStatusDatabase, "the database failed"},
    {oxSpStatusSchemaVersion, "the database is of an unknown version"},
    {oxSpStatusNoComponent, "no installed component of that ID or name"},
    {oxSpStatusNoGroup, "the component has no group of that ID"},
    {oxSpStatusNoAttribute, "the group has no attribute of that ID"},
    {oxSpStatusNoValue, "no component answers the attribute and it has no static value"},
    {oxSpStatusBadArgument, "an argument does not fit (for example a key value of the wrong type)"},
};

} // namespace

std::string statusMeaning(std::uint32_t status) {
    for (const Meaning& m : meanings)
        if (m.status == status)
            return m.text;
    return "a status of the component's own";
}

std::string statusCode(std::uint32_t status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(status));
    return text;
}

std::string statusText(std::uint32_t status) {
    return statusCode(status) + " (" + statusMeaning(status) + ")";
}

} // namespace oxagent
