// oxAgentControlService_c: the control socket of `run`. One thread accepts local clients and
// answers their request lines from the service's kernels while run's thread keeps polling them;
// clients that asked for events get each one as a line. Clients of another user (other than
// root) are refused; a malformed or oversized request gets an error answer and the connection
// goes on.
#pragma once
#include "agent/oxAgentControlRequests.h"
#include "agent/oxAgentControlSocket.h"
#include "agent/oxAgentService.h"
#include <atomic>
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
    void event(const oxSpEvent& event) override;
    void stop() override;

  private:
    struct Client {
        oxAgentFd_c fd;
        std::string buffer;
        bool discarding = false; // the rest of an oversized line
        bool following = false;  // takes events
    };

    void serve();
    void accept();
    // Reads what the client sent and answers each complete line; false when it is gone.
    bool receive(Client& client);
    bool reply(Client& client, const std::string& line);
    void unfollow(int fd);

    oxAgentHost_c& host_;
    std::string path_;
    oxAgentFd_c listener_, wakeRead_, wakeWrite_;
    oxAgentHeldKernels held_;
    std::vector<Client> clients_; // the serving thread's alone
    std::thread thread_;
    std::mutex followersLock_;
    std::vector<int> followers_;
};

} // namespace oxagent
