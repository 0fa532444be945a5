#include "agent/oxAgentControlRequests.h"
#include "agent/oxAgentAnswers.h"
#include "agent/oxAgentHost.h"
#include "sp/oxSpStatus.h"
#include <new>

namespace oxagent {

namespace {

using nlohmann::json;
using Keys = std::vector<std::string>;

struct Operation {
    const char* name;
    bool onDirectory; // needs a held kernel
    ordered_json (*answer)(oxAgentHost_c& host, coxKernel_c* kernel, const json& request);
};

constexpr Operation operations[] = {
    {"get", true,
     [](oxAgentHost_c& host, coxKernel_c* kernel, const json& r) {
         return getAnswer(host, *kernel, r.at("group").get<std::string>(),
                          r.at("attr").get<std::uint32_t>(), r.value("keys", Keys()));
     }},
    {"set", true,
     [](oxAgentHost_c& host, coxKernel_c* kernel, const json& r) {
         return setAnswer(host, *kernel, r.at("group").get<std::string>(),
                          r.at("attr").get<std::uint32_t>(), r.value("keys", Keys()),
                          r.at("value").get<std::string>());
     }},
    {"show", true,
     [](oxAgentHost_c& host, coxKernel_c* kernel, const json&) {
         return showAnswer(host, *kernel);
     }},
    {"list", false,
     [](oxAgentHost_c& host, coxKernel_c*, const json&) { return listAnswer(host.database()); }},
    {"events", false,
     [](oxAgentHost_c&, coxKernel_c*, const json&) { return ordered_json{{"following", true}}; }},
};

ordered_json error(const std::string& text) {
    return {{"error", text}};
}

} // namespace

json parseRequest(const std::string& line) {
    return json::parse(line, nullptr, false);
}

bool answeredOnRunThread(const json& request) {
    return request.is_object() && request.value("op", json()) == "show";
}

ordered_json answerRequest(oxAgentHost_c& host, const oxAgentHeldKernels& held,
                           const json& request) {
    if (request.is_discarded() || !request.is_object())
        return error("malformed request: not a JSON object");
    try {
        const std::string op = request.at("op").get<std::string>();
        for (const Operation& operation : operations) {
            if (op != operation.name)
                continue;
            coxKernel_c* kernel = nullptr;
            if (operation.onDirectory) {
                const auto at = held.find(request.at("dir").get<std::string>());
                if (at == held.end())
                    return {{"notHeld", true}};
                kernel = at->second;
            }
            return operation.answer(host, kernel, request);
        }
        return error("malformed request: unknown op \"" + op + "\"");
    } catch (const json::exception& e) {
        return error(std::string("malformed request: ") + e.what());
    } catch (const oxAgentError_c& e) {
        return error(e.what());
    } catch (const oxSpError_c& e) {
        return error(e.what());
    } catch (const std::bad_alloc&) {
        return error("out of memory");
    }
}

} // namespace oxagent
