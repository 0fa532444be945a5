// oxagent list: the installed components and their groups. It opens the database read-only and
// takes no write lock, so it works while another process writes and on a file it may not change.
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentDatabasePath.h"
#include "agent/oxAgentHost.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

namespace oxagent {

int runList(const ListOptions& options) {
    std::unique_ptr<oxSpDatabase_c> db;
    try {
        db = std::make_unique<oxSpDatabase_c>(resolveDatabasePath(options.database),
                                              oxSpDatabase_c::Access::readOnly);
    } catch (const oxSpError_c& e) {
        throw oxAgentError_c(e.what());
    }
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const oxSpComponentInfo& c : db->components()) {
        nlohmann::ordered_json component;
        component["id"] = c.id;
        component["name"] = c.name;
        component["source"] = c.source;
        component["groups"] = nlohmann::ordered_json::array();
        for (const oxSpGroupInfo& g : db->groups(c.id))
            component["groups"].push_back(
                {{"id", g.id}, {"class", g.groupClass}, {"name", g.name}});
        out.push_back(component);
    }
    if (options.json) {
        std::cout << out.dump(2) << "\n";
        return 0;
    }
    if (out.empty())
        std::cout << "No components installed.\n";
    for (const auto& c : out) {
        std::cout << "Component " << c["id"].get<std::uint32_t>() << ": "
                  << c["name"].get<std::string>() << " (" << c["source"].get<std::string>()
                  << ")\n";
        for (const auto& g : c["groups"])
            std::cout << "  Group " << g["id"].get<std::uint32_t>() << ": "
                      << g["class"].get<std::string>() << " \"" << g["name"].get<std::string>()
                      << "\"\n";
    }
    return 0;
}

} // namespace oxagent
