// oxagent show DIR: the directory's component with its groups and every attribute's value.
#include "agent/oxAgentAnswers.h"
#include "agent/oxAgentClient.h"
#include "agent/oxAgentCommands.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentRequest.h"
#include "agent/oxAgentStatusText.h"
#include "framework/base/coxBase.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpValueText.h"
#include <iostream>

namespace oxagent {

namespace {

// The key texts of a table row: its cells of the group's key attributes, in Key order.
std::vector<std::string> rowKeyTexts(const oxSpGroupInfo& group,
                                     const std::vector<oxMifAttribute>& attributes,
                                     const oxMifRow& row) {
    std::vector<std::string> texts;
    for (std::uint32_t key : group.keys)
        for (std::size_t i = 0; i < attributes.size(); ++i)
            if (attributes[i].id == key)
                texts.push_back(row[i].value_or(""));
    return texts;
}

ordered_json attributeAnswer(oxAgentHost_c& host, std::uint32_t componentId,
                             const oxSpGroupInfo& group, const oxMifAttribute& attribute,
                             const oxKey_c& key) {
    const oxSpAnswer answer =
        requestAttribute(host.database(), host.kernels(), componentId, group.id, attribute.id, key);
    ordered_json out;
    out["id"] = attribute.id;
    out["name"] = attribute.name;
    if (answer.status == 0) {
        const std::string text = oxSpTextOfValue(answer.value.value);
        out["value"] = text;
        const std::string meaning = enumerationName(attribute, text);
        if (!meaning.empty())
            out["meaning"] = meaning;
        out["source"] = answer.fromComponent ? "component" : "mif";
    } else {
        out["status"] = answer.status;
        out["error"] = statusText(answer.status);
    }
    return out;
}

} // namespace

ordered_json showAnswer(oxAgentHost_c& host, coxKernel_c& kernel) {
    const oxSpDatabase_c& db = host.database();
    const std::uint32_t componentId = kernel.ownDescription().id;
    const auto component = db.component(componentId);
    ordered_json out;
    out["id"] = componentId;
    out["name"] = component ? component->name : "";
    out["description"] = component ? component->description : "";
    out["modules"] = kernel.componentObjects().count();
    out["groups"] = ordered_json::array();
    const oxSpRequests_c requests(db);
    for (const oxSpGroupInfo& group : db.groups(componentId)) {
        ordered_json g;
        g["id"] = group.id;
        g["class"] = group.groupClass;
        g["name"] = group.name;
        const auto attributes = db.attributes(componentId, group.id);
        const auto rows = db.rows(componentId, group.id);
        const oxKeyList_c* served = rows.empty() ? componentRows(kernel, group.id) : nullptr;
        if (served) {
            g["rows"] = ordered_json::array();
            for (std::uint32_t i = 0; i < served->count(); ++i) {
                ordered_json r = ordered_json::array();
                for (const oxMifAttribute& attribute : attributes)
                    r.push_back(attributeAnswer(host, componentId, group, attribute, *served->at(i)));
                g["rows"].push_back(r);
            }
        } else if (rows.empty()) {
            g["attributes"] = ordered_json::array();
            for (const oxMifAttribute& attribute : attributes)
                g["attributes"].push_back(
                    attributeAnswer(host, componentId, group, attribute, oxKey_c()));
        } else {
            g["rows"] = ordered_json::array();
            for (const oxMifRow& row : rows) {
                const oxKey_c key =
                    requests.makeKey(componentId, group.id, rowKeyTexts(group, attributes, row));
                ordered_json r = ordered_json::array();
                for (const oxMifAttribute& attribute : attributes)
                    r.push_back(attributeAnswer(host, componentId, group, attribute, key));
                g["rows"].push_back(r);
            }
        }
        out["groups"].push_back(g);
    }
    return out;
}

namespace {

void printAttribute(const ordered_json& a, const char* indent) {
    std::cout << indent << a["id"].get<std::uint32_t>() << "  " << a["name"].get<std::string>();
    if (a.contains("value")) {
        std::cout << " = " << a["value"].get<std::string>();
        if (a.contains("meaning"))
            std::cout << " (" << a["meaning"].get<std::string>() << ")";
    } else {
        std::cout << ": no value, " << a["error"].get<std::string>();
    }
    std::cout << "\n";
}

void printText(const ordered_json& c) {
    std::cout << "Component " << c["id"].get<std::uint32_t>() << ": "
              << c["name"].get<std::string>() << "\n";
    if (!c["description"].get<std::string>().empty())
        std::cout << "  " << c["description"].get<std::string>() << "\n";
    std::cout << "  modules loaded: " << c["modules"].get<std::uint32_t>() << "\n";
    for (const ordered_json& g : c["groups"]) {
        std::cout << "  Group " << g["id"].get<std::uint32_t>() << ": "
                  << g["class"].get<std::string>() << " \"" << g["name"].get<std::string>()
                  << "\"\n";
        if (g.contains("attributes"))
            for (const ordered_json& a : g["attributes"])
                printAttribute(a, "    ");
        if (g.contains("rows")) {
            std::size_t n = 0;
            for (const ordered_json& row : g["rows"]) {
                std::cout << "    Row " << ++n << "\n";
                for (const ordered_json& a : row)
                    printAttribute(a, "      ");
            }
        }
    }
}

} // namespace

int printShow(const ordered_json& answer, bool json) {
    if (json)
        std::cout << answer.dump(2) << "\n";
    else
        printText(answer);
    return 0;
}

int runShow(const ShowOptions& options) {
    const ordered_json component =
        answerOnDirectory(options.client, options.database, options.directory, {{"op", "show"}},
                          [](oxAgentHost_c& host, coxKernel_c& kernel) {
                              return showAnswer(host, kernel);
                          });
    return printShow(component, options.json);
}

} // namespace oxagent
