// oxSnmpSubagent_c: oxagent run as an AgentX subagent of a master agent (net-snmp's library),
// serving the DMI MIB of oxSnmpMib_c: descriptive tables from the database, attribute values
// live through the kernels, SET through the guarded reserve, set and release, events out as
// notifications. Without a master it says so once, serves on and connects when one appears
// (the library retries every second); a lost master is found again the same way.
// The library runs on a thread of its own, so a request is answered as soon as it arrives
// rather than at the host's next turn; kernels and database take concurrent requests. The map
// of the MIB is built on run's thread (start and poll), the one that drives the components'
// timers, since it reads the rows component objects keep; it is built again at most once a
// second and only while requests come, and the library's thread takes the newest.
// One per process: the library's state is global.
#pragma once
#include "agent/oxAgentService.h"
#include "agent/snmp/oxSnmpMib.h"
#include "framework/model/oxAttribValue.h"
#include "framework/model/oxKey.h"
#include "sp/oxSpRecords.h"
#include <chrono>
#include <atomic>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class coxKernel_c;
class oxSpDatabase_c;

namespace oxagent {

class oxSnmpSubagent_c : public oxAgentService_c {
  public:
    // socket: the master's AgentX address, a path or tcp:host:port; "" for the library's
    // default. The kernels are read on every request, so the vector may change between polls.
    oxSnmpSubagent_c(oxSpDatabase_c& database, const std::vector<coxKernel_c*>& kernels,
                     std::string socket);
    ~oxSnmpSubagent_c() override;
    oxSnmpSubagent_c(const oxSnmpSubagent_c&) = delete;
    oxSnmpSubagent_c& operator=(const oxSnmpSubagent_c&) = delete;

    // Starts the library's thread and returns once it is set up (connected or not). Throws
    // oxAgentError_c when another subagent runs in this process.
    void start() override;
    // For the host's loop: builds the map again when requests asked for it a second or more
    // after the last one, and reports, once, that the library's thread ended on a failure.
    void poll() override;
    // Ends the thread; after it no request reaches the kernels.
    void stop() noexcept override;

    // Queues the event for the next poll; safe from any thread.
    void notify(const oxSpEvent& event);
    void event(const oxSpEvent& raised) override { notify(raised); }

    // For the library's callbacks.
    void connectionChanged(bool connected);
    int handle(int mode, void* requestInfo, void* requests);

  private:
    struct PendingSet {
        coxKernel_c* kernel = nullptr;
        std::uint32_t groupId = 0;
        oxAttribValue_c value{0};
        oxKey_c key;
    };
    // A SET's variable: its transaction, since the master may interleave the phases of two.
    using SetName = std::pair<long, oxSnmpOid>;

    void buildMib(); // on run's thread
    // The newest map, for one request; it also asks poll() for a newer one.
    std::shared_ptr<const oxSnmpMib_c> mib();
    // The attribute's value now; the status of the request that failed otherwise.
    std::uint32_t ask(const oxSnmpAttributeCell& cell, oxSnmpValue& value);
    // The SNMP error (0 none) for one phase of a SET of one variable.
    int reserve(const oxSnmpMib_c& cells, const SetName& name, const oxSnmpValue& value);
    int action(const SetName& name);
    void release(const SetName& name);
    void sendQueuedEvents();
    // The library's thread: set-up, then answering until stop().
    void serve(std::promise<void>& ready);
    void setUp();

    oxSpDatabase_c& database_;
    const std::vector<coxKernel_c*>& kernels_;
    std::string socket_;
    std::thread worker_;
    std::atomic<bool> stopping_{false};
    std::string failure_; // set by the thread when it ends on an exception
    std::mutex failureLock_;
    bool started_ = false;
    bool connected_ = false; // the thread's
    std::mutex mibLock_;
    std::shared_ptr<const oxSnmpMib_c> mib_;
    std::atomic<bool> mibAsked_{false};
    std::chrono::steady_clock::time_point mibTime_; // run's thread's
    std::map<SetName, PendingSet> pending_;
    std::mutex eventsLock_;
    std::deque<oxSpEvent> events_;
};

} // namespace oxagent
