// oxAgentControlService_c: the control socket of `run`. One thread accepts local clients and
// answers their request lines from the service's kernels while run's thread keeps polling them;
// show, which reads what the component timers change, is answered on run's thread. Clients
// that asked for events get each one as a line. Nothing waits on a client: what it does not
// read yet is kept for it, and its further requests wait until it reads. Clients of another
// user (other than root) are refused; a malformed or oversized request gets an error answer
// and the connection goes on.
#pragma once
#include "agent/oxAgentControlRequests.h"
#include "agent/oxAgentControlSocket.h"
#include "agent/oxAgentService.h"
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace oxagent {

class oxAgentHost_c;

class oxAgentControlService_c final : public oxAgentService_c {
  public:
    // Listens on the path (see listenOnControl). Throws oxAgentError_c.
    oxAgentControlService_c(oxAgentHost_c& host, const std::string& path);
    // Stops and removes the socket file.
    ~oxAgentControlService_c() override;

    // A kernel the clients may reach by its absolute directory; before start.
    void hold(const std::string& directory, coxKernel_c& kernel);
    void start() override;
    // Answers the requests that wait for run's thread.
    void poll() override;
    // Queues the event for the followers; never waits on them.
    void event(const oxSpEvent& event) override;
    void stop() override;

  private:
    struct Client {
        std::uint64_t id;
        oxAgentFd_c fd;
        std::string input{}, output{}; // received but not answered; answered but not sent
        bool discarding = false;   // the rest of an oversized line
        bool following = false;    // takes events
        bool waiting = false;      // its request is with run's thread; later lines wait
        bool ended = false;        // sent all it will send
    };
    // A request handed to run's thread, or its answer handed back.
    struct Handover {
        std::uint64_t client;
        std::string text;
    };

    void serve();
    // False when out of descriptors.
    bool accept();
    // Takes run's answers and the queued events into the clients' output.
    void takeHandovers();
    // Reads what the client sent; false when it is gone.
    bool receive(Client& client);
    // Answers and sends what it can; false when the client is gone or done.
    bool serveLines(Client& client);
    // Answers some of its complete lines (see answerable).
    void answerLines(Client& client);
    // Whether it has a line to answer now: none of its requests is with run's thread and it
    // reads its answers.
    static bool answerable(const Client& client);
    // Sends what it can of the client's output; false when it is gone.
    bool flush(Client& client);
    void wake();

    oxAgentHost_c& host_;
    std::string path_;
    oxAgentListener listener_;
    oxAgentFd_c wakeRead_, wakeWrite_;
    oxAgentHeldKernels held_;
    std::vector<Client> clients_; // the serving thread's alone
    std::uint64_t lastId_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> followers_{0}; // events are queued only for some
    std::mutex lock_; // the handovers and events below
    std::vector<Handover> forRun_, fromRun_;
    std::vector<std::string> events_;
};

} // namespace oxagent
