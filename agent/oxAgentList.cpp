// oxagent list: the installed components and their groups. It opens the database read-only and
// takes no write lock, so it works while another process writes and on a file it may not change.
#include "agent/oxAgentAnswers.h"
#include "agent/oxAgentClient.h"
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentDatabasePath.h"
#include "agent/oxAgentHost.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include <iostream>
#include <memory>

namespace oxagent {

ordered_json listAnswer(const oxSpDatabase_c& database) {
    ordered_json out = ordered_json::array();
    for (const oxSpComponentInfo& c : database.components()) {
        ordered_json component;
        component["id"] = c.id;
        component["name"] = c.name;
        component["source"] = c.source;
        component["groups"] = ordered_json::array();
        for (const oxSpGroupInfo& g : database.groups(c.id))
            component["groups"].push_back(
                {{"id", g.id}, {"class", g.groupClass}, {"name", g.name}});
        out.push_back(component);
    }
    return out;
}

int printList(const ordered_json& answer, bool json) {
    if (json) {
        std::cout << answer.dump(2) << "\n";
        return 0;
    }
    if (answer.empty())
        std::cout << "No components installed.\n";
    for (const auto& c : answer) {
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

int runList(const ListOptions& options) {
    if (const auto answer = askService(options.client, {{"op", "list"}}))
        return printList(*answer, options.json);
    std::unique_ptr<oxSpDatabase_c> db;
    try {
        db = std::make_unique<oxSpDatabase_c>(resolveDatabasePath(options.database),
                                              oxSpDatabase_c::Access::readOnly);
    } catch (const oxSpError_c& e) {
        throw oxAgentError_c(e.what());
    }
    return printList(listAnswer(*db), options.json);
}

} // namespace oxagent
