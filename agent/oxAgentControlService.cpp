#include "agent/oxAgentControlService.h"
#include "agent/oxAgentEventLine.h"
#include "agent/oxAgentHost.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <iterator>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace oxagent {

namespace {

using nlohmann::ordered_json;
using steady = std::chrono::steady_clock;

// Clients served at once; further connections wait until one goes.
constexpr std::size_t maxClients = 256;
// A client's further requests wait while this much of its answers is still unsent.
constexpr std::size_t maxUnsent = 256 * 1024;
// A follower this far behind gets no more events.
constexpr std::size_t maxEventBacklog = 1024 * 1024;
// Lines answered for one client before the others get their turn.
constexpr int linesPerTurn = 16;

std::string answerLine(const ordered_json& answer) {
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

const std::string tooLongLine =
    answerLine({{"error", "request longer than " + std::to_string(maxRequestLength) + " bytes"}});

ordered_json answerOf(oxAgentHost_c& host, const oxAgentHeldKernels& held,
                      const nlohmann::json& request) {
    try {
        return answerRequest(host, held, request);
    } catch (...) { // no request may end the service
        return {{"error", "the request failed inside the service"}};
    }
}

} // namespace

oxAgentControlService_c::oxAgentControlService_c(oxAgentHost_c& host, const std::string& path)
    : host_(host), path_(path), listener_(listenOnControl(path)) {
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        unlink(path_.c_str());
        throw oxAgentError_c(std::string("control socket: ") + std::strerror(errno));
    }
    wakeRead_ = oxAgentFd_c(wake[0]);
    wakeWrite_ = oxAgentFd_c(wake[1]);
}

oxAgentControlService_c::~oxAgentControlService_c() {
    stop();
    unlink(path_.c_str());
}

void oxAgentControlService_c::hold(const std::string& directory, coxKernel_c& kernel) {
    held_.emplace(directory, &kernel);
}

void oxAgentControlService_c::start() {
    thread_ = std::thread([this] { serve(); });
}

void oxAgentControlService_c::stop() {
    if (!thread_.joinable())
        return;
    stopping_ = true;
    wake();
    thread_.join();
    clients_.clear();
    followers_ = 0;
    const std::lock_guard<std::mutex> lock(lock_);
    forRun_.clear();
    fromRun_.clear();
    events_.clear();
}

void oxAgentControlService_c::wake() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(wakeWrite_.get(), &byte, 1); // full: already woken
}

void oxAgentControlService_c::poll() {
    std::vector<Handover> requests;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        requests.swap(forRun_);
    }
    if (requests.empty())
        return;
    for (Handover& request : requests)
        request.text = answerLine(answerOf(host_, held_, parseRequest(request.text)));
    {
        const std::lock_guard<std::mutex> lock(lock_);
        std::move(requests.begin(), requests.end(), std::back_inserter(fromRun_));
    }
    wake();
}

void oxAgentControlService_c::event(const oxSpEvent& event) {
    if (followers_ == 0)
        return;
    std::string line = answerLine({{"event", eventLine(event)}});
    {
        const std::lock_guard<std::mutex> lock(lock_);
        events_.push_back(std::move(line));
    }
    wake();
}

void oxAgentControlService_c::serve() {
    std::vector<pollfd> waits;
    steady::time_point acceptAgain{};
    bool pollFailed = false;
    while (!stopping_) {
        const bool accepting = clients_.size() < maxClients && steady::now() >= acceptAgain;
        waits.assign({{wakeRead_.get(), POLLIN, 0},
                      {accepting ? listener_.socket.get() : -1, POLLIN, 0}});
        int timeout = accepting ? -1 : 100;
        for (const Client& client : clients_) {
            // Read more only once what it sent is answered: its input stays small.
            const bool reading = !client.ended && !client.waiting &&
                                 client.output.size() < maxUnsent &&
                                 client.input.find('\n') == std::string::npos;
            if (answerable(client))
                timeout = 0;
            waits.push_back({client.fd.get(),
                             static_cast<short>((reading ? POLLIN : 0) |
                                                (client.output.empty() ? 0 : POLLOUT)),
                             0});
        }
        if (::poll(waits.data(), waits.size(), timeout) < 0 && errno != EINTR) {
            // Only a shortage of kernel memory gets here: said once, tried again shortly.
            if (!pollFailed)
                std::cerr << "oxagent: control socket: " << std::strerror(errno)
                          << "; trying again" << std::endl;
            pollFailed = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        pollFailed = false;
        char drained[256];
        while (read(wakeRead_.get(), drained, sizeof drained) > 0) {
        }
        takeHandovers();
        std::size_t following = 0;
        for (std::size_t i = clients_.size(); i-- > 0;) {
            Client& client = clients_[i];
            const short seen = waits[i + 2].revents;
            // A peer that hung up can take no answer: what it sent is dropped with it.
            bool keep = (seen & (POLLHUP | POLLERR)) == 0;
            keep = keep && ((seen & POLLIN) == 0 || receive(client)) && serveLines(client);
            if (keep)
                following += client.following ? 1 : 0;
            else
                clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        followers_ = following;
        // Out of descriptors the connection stays waiting, and poll would wake at once again.
        if (waits[1].revents != 0 && !accept())
            acceptAgain = steady::now() + std::chrono::milliseconds(100);
    }
}

bool oxAgentControlService_c::accept() {
    oxAgentFd_c fd(accept4(listener_.socket.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!fd)
        return errno != EMFILE && errno != ENFILE;
    if (!peerAllowed(fd.get()))
        sendAll(fd.get(), answerLine({{"error", "refused: the service answers only its own user "
                                                "and root"}}), 100);
    else
        clients_.push_back(Client{++lastId_, std::move(fd)});
    return true;
}

void oxAgentControlService_c::takeHandovers() {
    std::vector<Handover> answers;
    std::vector<std::string> events;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        answers.swap(fromRun_);
        events.swap(events_);
    }
    for (Handover& answer : answers)
        for (Client& client : clients_)
            if (client.id == answer.client) {
                client.output += answer.text;
                client.waiting = false;
            }
    for (Client& client : clients_) {
        if (!client.following)
            continue;
        for (const std::string& event : events)
            client.output += event;
        if (client.output.size() > maxEventBacklog) {
            client.following = false;
            client.output +=
                answerLine({{"error", "events stopped: the client did not read them"}});
        }
    }
}

bool oxAgentControlService_c::receive(Client& client) {
    char chunk[65536];
    const ssize_t n = recv(client.fd.get(), chunk, sizeof chunk, 0);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (n == 0)
        client.ended = true; // it sent all it will; its answers still go
    client.input.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    return true;
}

bool oxAgentControlService_c::serveLines(Client& client) {
    answerLines(client);
    if (!flush(client))
        return false;
    // An ended client is read no more once all it sent is answered: it goes once that is sent.
    return !client.ended || !client.output.empty();
}

bool oxAgentControlService_c::answerable(const Client& client) {
    return !client.waiting && client.output.size() < maxUnsent &&
           client.input.find('\n') != std::string::npos;
}

void oxAgentControlService_c::answerLines(Client& client) {
    for (int turn = 0; turn < linesPerTurn && answerable(client); ++turn) {
        const std::size_t end = client.input.find('\n');
        std::string line = client.input.substr(0, end);
        client.input.erase(0, end + 1);
        if (std::exchange(client.discarding, false))
            continue; // the end of a line already refused
        if (line.size() > maxRequestLength) {
            client.output += tooLongLine;
            continue;
        }
        const nlohmann::json request = parseRequest(line);
        if (answeredOnRunThread(request)) {
            client.waiting = true;
            const std::lock_guard<std::mutex> lock(lock_);
            forRun_.push_back({client.id, std::move(line)});
            continue;
        }
        const ordered_json answer = answerOf(host_, held_, request);
        client.following = client.following || answer.contains("following");
        client.output += answerLine(answer);
    }
    // Refused as soon as it is too long; the rest of it is read and dropped.
    if (!client.waiting && client.input.size() > maxRequestLength &&
        client.input.find('\n') == std::string::npos) {
        client.input.clear();
        if (!std::exchange(client.discarding, true))
            client.output += tooLongLine;
    }
}

bool oxAgentControlService_c::flush(Client& client) {
    while (!client.output.empty()) {
        const ssize_t n = send(client.fd.get(), client.output.data(), client.output.size(),
                               MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0)
            return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
        client.output.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace oxagent
