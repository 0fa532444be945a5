// The net-snmp side of the subagent: start-up as an AgentX client, one handler for everything
// under 412, the SET phases, connection reports and notifications.
#include "agent/snmp/oxSnmpSubagent.h"
#include "agent/oxAgentHost.h"
#include "agent/oxAgentRequest.h"
#include "agent/snmp/oxSnmpNotification.h"
#include "framework/diag/oxStatus.h"
#include "framework/kernel/coxKernel.h"
#include "sp/oxSpDatabase.h"
#include "sp/oxSpStatus.h"
#include "sp/oxSpValueText.h"
#include <iostream>
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/agent/agent_callbacks.h>

namespace oxagent {

namespace {

constexpr const char* appName = "oxagent";
// The MIB is read again at most this often: installs are rare, requests many.
constexpr std::chrono::seconds mibLifetime{1};
oxSnmpSubagent_c* running = nullptr;

oxSnmpOid oidOf(const oid* name, std::size_t length) {
    return oxSnmpOid(name, name + length);
}

// Hands the value to the library as its type and buffer.
template <class Use> void withWire(const oxSnmpValue& v, Use use) {
    switch (v.type) {
    case oxSnmpType_e::integer: {
        const long n = static_cast<long>(static_cast<std::int64_t>(v.number));
        return use(ASN_INTEGER, &n, sizeof n);
    }
    case oxSnmpType_e::octets:
        return use(ASN_OCTET_STR, v.octets.data(), v.octets.size());
    case oxSnmpType_e::objectId: {
        const std::vector<oid> o(v.objectId.begin(), v.objectId.end());
        return use(ASN_OBJECT_ID, o.data(), o.size() * sizeof(oid));
    }
    case oxSnmpType_e::counter64: {
        counter64 c{};
        c.high = static_cast<u_long>(v.number >> 32);
        c.low = static_cast<u_long>(v.number & 0xFFFFFFFFu);
        return use(ASN_COUNTER64, &c, sizeof c);
    }
    default: {
        const u_long n = static_cast<u_long>(v.number);
        const u_char type = v.type == oxSnmpType_e::counter32 ? ASN_COUNTER
                            : v.type == oxSnmpType_e::gauge32 ? ASN_GAUGE
                                                               : ASN_UNSIGNED;
        return use(type, &n, sizeof n);
    }
    }
}

void answer(netsnmp_variable_list* vb, const oxSnmpValue& value) {
    withWire(value, [vb](u_char type, const void* data, std::size_t size) {
        snmp_set_var_typed_value(vb, type, data, size);
    });
}

// What a SET carries, as an oxSnmpValue; nothing for types no DMI attribute takes.
std::optional<oxSnmpValue> valueOfVariable(const netsnmp_variable_list* vb) {
    oxSnmpValue v;
    switch (vb->type) {
    case ASN_INTEGER:
        return oxSnmpInteger(*vb->val.integer);
    case ASN_OCTET_STR:
        return oxSnmpOctets(std::string(reinterpret_cast<const char*>(vb->val.string), vb->val_len));
    case ASN_COUNTER:
        v.type = oxSnmpType_e::counter32;
        break;
    case ASN_GAUGE:
        v.type = oxSnmpType_e::gauge32;
        break;
    case ASN_COUNTER64:
        v.type = oxSnmpType_e::counter64;
        v.number = std::uint64_t(vb->val.counter64->high) << 32 | (vb->val.counter64->low & 0xFFFFFFFFu);
        return v;
    default:
        return std::nullopt;
    }
    v.number = static_cast<std::uint32_t>(*vb->val.integer);
    return v;
}

// A component's refusal at reserve: not set-able at all, no such row, or this value.
int reserveError(std::uint32_t status) {
    switch (status) {
    case oxStatusSetNotSupported:
    case oxStatusAttributeNotServed:
    case oxStatusAttributeNotAnswered:
    case oxStatusNoComponent:
        return SNMP_ERR_NOTWRITABLE;
    case oxStatusInvalidRowKey:
        return SNMP_ERR_INCONSISTENTNAME;
    default:
        return SNMP_ERR_INCONSISTENTVALUE;
    }
}

// Statuses that say the instance has no value, rather than that asking failed.
bool meansNoInstance(std::uint32_t status) {
    return status == oxSpStatusNoValue || status == oxSpStatusNoGroup ||
           status == oxSpStatusNoAttribute || status == oxSpStatusNoComponent ||
           status == oxStatusAttributeNotServed || status == oxStatusAttributeNotAnswered ||
           status == oxStatusInvalidRowKey;
}

int dmiHandler(netsnmp_mib_handler*, netsnmp_handler_registration*,
               netsnmp_agent_request_info* info, netsnmp_request_info* requests) {
    return running ? running->handle(info->mode, info, requests) : SNMP_ERR_GENERR;
}

int onConnect(int, int, void*, void*) {
    if (running)
        running->connectionChanged(true);
    return 0;
}

int onDisconnect(int, int, void*, void*) {
    if (running)
        running->connectionChanged(false);
    return 0;
}

} // namespace

oxSnmpSubagent_c::oxSnmpSubagent_c(oxSpDatabase_c& database,
                                   const std::vector<coxKernel_c*>& kernels, std::string socket)
    : database_(database), kernels_(kernels), socket_(std::move(socket)) {}

oxSnmpSubagent_c::~oxSnmpSubagent_c() {
    stop();
}

void oxSnmpSubagent_c::start() {
    if (running)
        throw oxAgentError_c("--agentx: one subagent per process");
    buildMib();
    running = this;
    stopping_ = false;
    std::promise<void> ready;
    std::future<void> setUpDone = ready.get_future();
    worker_ = std::thread([this, &ready] { serve(ready); });
    try {
        setUpDone.get();
    } catch (...) {
        worker_.join();
        running = nullptr;
        throw;
    }
    started_ = true;
}

void oxSnmpSubagent_c::setUp() {
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 1);
    if (!socket_.empty())
        netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_X_SOCKET, socket_.c_str());
    // Absence is reported here, once.
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_CONNECTION_WARNINGS, 1);
    // Timers run from the thread's loop, not from SIGALRM; no state or configuration files and
    // no MIB files: every OID here is numeric.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_ALARM_DONT_USE_SIG, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    setenv("MIBS", "", 1);
    // The library's warnings and errors go to standard error; its notes on (re)connecting
    // would repeat what connectionChanged says.
    netsnmp_register_loghandler(NETSNMP_LOGHANDLER_STDERR, LOG_WARNING);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_START, onConnect,
                           nullptr);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_STOP, onDisconnect,
                           nullptr);
    init_agent(appName);
    // Look for the master every second (the set-up above put its own default in).
    netsnmp_ds_set_int(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_PING_INTERVAL, 1);
    const std::vector<oid> root(oxSnmpMib_c::dmtf().begin(), oxSnmpMib_c::dmtf().end());
    netsnmp_register_handler(netsnmp_create_handler_registration(
        "dmiMIB", dmiHandler, root.data(), root.size(), HANDLER_CAN_RWRITE));
    init_snmp(appName);
    if (!connected_) {
        std::cerr << "oxagent: no AgentX master at "
                  << (socket_.empty() ? "the default socket" : socket_)
                  << "; serving on, connecting when it appears" << std::endl;
    }
}

void oxSnmpSubagent_c::serve(std::promise<void>& ready) {
    try {
        setUp();
    } catch (...) {
        ready.set_exception(std::current_exception());
        return;
    }
    ready.set_value();
    try {
        while (!stopping_) {
            // Wait for the master, a library timer or a tenth of a second, then answer.
            int fds = 0, block = 0;
            fd_set read;
            FD_ZERO(&read);
            timeval timeout{0, 100000};
            snmp_select_info(&fds, &read, &timeout, &block);
            select(fds, &read, nullptr, nullptr, &timeout);
            agent_check_and_process(0);
            sendQueuedEvents();
        }
    } catch (const std::exception& e) {
        const std::lock_guard<std::mutex> hold(failureLock_);
        failure_ = e.what();
    }
    // A master that goes at this moment makes the library's shutdown unregister a callback
    // from inside that callback list: it waits 100 ms and logs a failed assertion of its own,
    // which says nothing to the user. Its messages end here.
    snmp_disable_stderrlog();
    snmp_shutdown(appName); // drops the callbacks too
}

void oxSnmpSubagent_c::connectionChanged(bool connected) {
    if (connected == connected_)
        return;
    connected_ = connected;
    const std::string where = socket_.empty() ? "the default socket" : socket_;
    if (connected)
        std::cerr << "oxagent: AgentX master at " << where << " connected" << std::endl;
    else if (!stopping_)
        std::cerr << "oxagent: AgentX master at " << where << " lost; reconnecting" << std::endl;
}

void oxSnmpSubagent_c::poll() {
    if (mibAsked_ && std::chrono::steady_clock::now() - mibTime_ >= mibLifetime) {
        mibAsked_ = false;
        buildMib();
    }
    const std::lock_guard<std::mutex> hold(failureLock_);
    if (!failure_.empty())
        std::cerr << "oxagent: SNMP stopped: " << std::exchange(failure_, "") << std::endl;
}

void oxSnmpSubagent_c::stop() noexcept {
    if (!started_)
        return;
    started_ = false;
    stopping_ = true;
    worker_.join();
    running = nullptr;
}

void oxSnmpSubagent_c::notify(const oxSpEvent& event) {
    const std::lock_guard<std::mutex> hold(eventsLock_);
    events_.push_back(event);
}

void oxSnmpSubagent_c::sendQueuedEvents() {
    std::deque<oxSpEvent> events;
    {
        const std::lock_guard<std::mutex> hold(eventsLock_);
        events.swap(events_);
    }
    for (const oxSpEvent& event : events) {
        netsnmp_variable_list* list = nullptr;
        for (const auto& [name, value] : oxSnmpEventVariables(event)) {
            const std::vector<oid> o(name.begin(), name.end());
            withWire(value, [&list, &o](u_char type, const void* data, std::size_t size) {
                snmp_varlist_add_variable(&list, o.data(), o.size(), type, data, size);
            });
        }
        send_v2trap(list);
        snmp_free_varbind(list);
    }
}

void oxSnmpSubagent_c::buildMib() {
    // Read here, on the thread whose timers change them; a component that changed its rows
    // inside a request slot on another thread would race this read.
    const auto rows = [this](std::uint32_t componentId,
                             std::uint32_t groupId) -> const oxKeyList_c* {
        const coxKernel_c* kernel = kernelOf(kernels_, componentId);
        return kernel ? componentRows(*kernel, groupId) : nullptr;
    };
    auto built = std::make_shared<const oxSnmpMib_c>(database_, rows);
    mibTime_ = std::chrono::steady_clock::now();
    const std::lock_guard<std::mutex> hold(mibLock_);
    mib_ = std::move(built);
}

std::shared_ptr<const oxSnmpMib_c> oxSnmpSubagent_c::mib() {
    mibAsked_ = true;
    const std::lock_guard<std::mutex> hold(mibLock_);
    return mib_;
}

std::uint32_t oxSnmpSubagent_c::ask(const oxSnmpAttributeCell& cell, oxSnmpValue& value) {
    const oxSpAnswer answer = requestAttribute(database_, kernels_, cell.componentId,
                                               cell.groupId, cell.attributeId, cell.key);
    if (answer.status == 0)
        value = oxSnmpValueOf(answer.value.value);
    return answer.status;
}

int oxSnmpSubagent_c::handle(int mode, void* requestInfo, void* requestList) {
    auto* info = static_cast<netsnmp_agent_request_info*>(requestInfo);
    const std::shared_ptr<const oxSnmpMib_c> cells = mib(); // one map for the whole request
    const long transaction = info->asp && info->asp->pdu ? info->asp->pdu->transid : 0;
    for (auto* r = static_cast<netsnmp_request_info*>(requestList); r; r = r->next) {
        if (r->processed)
            continue;
        netsnmp_variable_list* vb = r->requestvb;
        const oxSnmpOid name = oidOf(vb->name, vb->name_length);
        try {
            if (mode == MODE_GET) {
                const oxSnmpCell* cell = cells->find(name);
                oxSnmpValue value;
                std::uint32_t status = oxSpStatusNoValue;
                if (cell && cell->fixed)
                    answer(vb, *cell->fixed);
                else if (cell && (status = ask(cell->attribute, value)) == 0)
                    answer(vb, value);
                else
                    netsnmp_set_request_error(info, r, meansNoInstance(status)
                                                           ? SNMP_NOSUCHINSTANCE
                                                           : SNMP_ERR_GENERR);
            } else if (mode == MODE_GETNEXT) {
                // The next cell that has a value; none leaves the variable to the next subtree.
                for (auto at = cells->after(name); at != cells->end(); ++at) {
                    oxSnmpValue value;
                    if (!at->second.fixed && ask(at->second.attribute, value) != 0)
                        continue;
                    const std::vector<oid> next(at->first.begin(), at->first.end());
                    snmp_set_var_objid(vb, next.data(), next.size());
                    answer(vb, at->second.fixed ? *at->second.fixed : value);
                    break;
                }
            } else if (mode == MODE_SET_RESERVE1) {
                const std::optional<oxSnmpValue> value = valueOfVariable(vb);
                const int error =
                    value ? reserve(*cells, {transaction, name}, *value) : SNMP_ERR_WRONGTYPE;
                if (error != 0)
                    netsnmp_set_request_error(info, r, error);
            } else if (mode == MODE_SET_ACTION) {
                if (const int error = action({transaction, name}); error != 0)
                    netsnmp_set_request_error(info, r, error);
            } else if (mode == MODE_SET_COMMIT) {
                pending_.erase({transaction, name}); // set: nothing left to release
            } else if (mode == MODE_SET_FREE || mode == MODE_SET_UNDO) {
                release({transaction, name});
            }
        } catch (const std::exception& e) {
            std::cerr << "oxagent: SNMP request failed: " << e.what() << std::endl;
            netsnmp_set_request_error(info, r, SNMP_ERR_GENERR);
        }
    }
    return SNMP_ERR_NOERROR;
}

int oxSnmpSubagent_c::reserve(const oxSnmpMib_c& cells, const SetName& name,
                              const oxSnmpValue& value) {
    const oxSnmpCell* cell = cells.find(name.second);
    if (!cell)
        return SNMP_ERR_NOCREATION;
    const oxSnmpAttributeCell& a = cell->attribute;
    if (cell->fixed || !a.writable)
        return SNMP_ERR_NOTWRITABLE;
    const oxSnmpSetText text = oxSnmpTextForSet(a.type, value);
    if (!text.error.empty())
        return text.error == "wrongType" ? SNMP_ERR_WRONGTYPE : SNMP_ERR_WRONGLENGTH;
    if (a.maxLength != 0 && value.octets.size() > a.maxLength) // a string longer than its MIF allows
        return SNMP_ERR_WRONGLENGTH;
    PendingSet set;
    set.kernel = kernelOf(kernels_, a.componentId);
    if (!set.kernel)
        return SNMP_ERR_NOTWRITABLE; // nothing instruments it: the MIF's value stays
    set.groupId = a.groupId;
    set.value.id = a.attributeId;
    try {
        set.value.value = oxSpValueFromText(a.type, text.text);
    } catch (const oxSpError_c&) {
        return SNMP_ERR_WRONGVALUE;
    }
    set.key = a.key;
    std::uint32_t status = oxStatusSuccess;
    set.kernel->reserveAttribute(set.value, &set.groupId, set.key, 0, 0, &status);
    if (status != oxStatusSuccess)
        return reserveError(status);
    pending_[name] = std::move(set);
    return SNMP_ERR_NOERROR;
}

int oxSnmpSubagent_c::action(const SetName& name) {
    const auto at = pending_.find(name);
    if (at == pending_.end())
        return SNMP_ERR_COMMITFAILED;
    PendingSet& set = at->second;
    std::uint32_t status = oxStatusSuccess;
    set.kernel->setAttribute(set.value, &set.groupId, set.key, 0, 0, &status);
    return status == oxStatusSuccess ? SNMP_ERR_NOERROR : SNMP_ERR_COMMITFAILED;
}

void oxSnmpSubagent_c::release(const SetName& name) {
    const auto at = pending_.find(name);
    if (at == pending_.end())
        return;
    PendingSet& set = at->second;
    std::uint32_t status = oxStatusSuccess;
    set.kernel->releaseAttribute(set.value, &set.groupId, set.key, 0, 0, &status);
    pending_.erase(at);
}

} // namespace oxagent
