#include "agent/oxAgentControlService.h"
#include "agent/oxAgentEventLine.h"
#include "agent/oxAgentHost.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace oxagent {

namespace {

using nlohmann::ordered_json;

// A client that takes nothing for this long is dropped, so that it cannot stall the others.
constexpr int sendTimeoutMs = 5000;
constexpr int eventTimeoutMs = 100;

std::string answerLine(const ordered_json& answer) {
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

const std::string tooLongLine =
    answerLine({{"error", "request longer than " + std::to_string(maxRequestLength) + " bytes"}});

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
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = write(wakeWrite_.get(), &wake, 1);
    thread_.join();
    const std::lock_guard<std::mutex> lock(followersLock_);
    followers_.clear();
    clients_.clear();
}

void oxAgentControlService_c::event(const oxSpEvent& event) {
    const std::string line = answerLine({{"event", eventLine(event)}});
    const std::lock_guard<std::mutex> lock(followersLock_);
    for (const int fd : followers_)
        if (!sendAll(fd, line, eventTimeoutMs))
            shutdown(fd, SHUT_RDWR); // the serving thread sees it go and drops it
}

void oxAgentControlService_c::unfollow(int fd) {
    const std::lock_guard<std::mutex> lock(followersLock_);
    followers_.erase(std::remove(followers_.begin(), followers_.end(), fd), followers_.end());
}

void oxAgentControlService_c::serve() {
    std::vector<pollfd> waits;
    for (;;) {
        waits.assign({{wakeRead_.get(), POLLIN, 0}, {listener_.get(), POLLIN, 0}});
        for (const Client& client : clients_)
            waits.push_back({client.fd.get(), POLLIN, 0});
        if (::poll(waits.data(), waits.size(), -1) < 0 && errno != EINTR)
            return;
        if (waits[0].revents != 0)
            return;
        // Clients first: accepting may move the vector the indexes refer to.
        for (std::size_t i = clients_.size(); i-- > 0;) {
            if (waits[i + 2].revents == 0 || receive(clients_[i]))
                continue;
            if (clients_[i].following)
                unfollow(clients_[i].fd.get());
            clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (waits[1].revents != 0)
            accept();
    }
}

void oxAgentControlService_c::accept() {
    oxAgentFd_c fd(accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!fd) {
        // Out of descriptors the waiting connection stays, and poll would wake at once again.
        if (errno == EMFILE || errno == ENFILE)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return;
    }
    if (!peerAllowed(fd.get())) {
        sendAll(fd.get(), answerLine({{"error", "refused: the service answers only its own user "
                                                "and root"}}), sendTimeoutMs);
        return;
    }
    clients_.push_back(Client{std::move(fd), "", false, false});
}

bool oxAgentControlService_c::receive(Client& client) {
    char chunk[65536];
    const ssize_t n = recv(client.fd.get(), chunk, sizeof chunk, MSG_DONTWAIT);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (n == 0)
        return false;
    client.buffer.append(chunk, static_cast<std::size_t>(n));
    for (std::size_t end; (end = client.buffer.find('\n')) != std::string::npos;) {
        const std::string line = client.buffer.substr(0, end);
        client.buffer.erase(0, end + 1);
        if (std::exchange(client.discarding, false))
            continue; // the end of a line already refused
        const bool answered = line.size() > maxRequestLength
                                  ? sendAll(client.fd.get(), tooLongLine, sendTimeoutMs)
                                  : reply(client, line);
        if (!answered)
            return false;
    }
    // Refused as soon as it is too long; the rest of it is read and dropped.
    if (client.buffer.size() > maxRequestLength) {
        client.buffer.clear();
        if (!std::exchange(client.discarding, true))
            return sendAll(client.fd.get(), tooLongLine, sendTimeoutMs);
    }
    return true;
}

bool oxAgentControlService_c::reply(Client& client, const std::string& line) {
    ordered_json answer;
    try {
        answer = answerRequest(host_, held_, line);
    } catch (...) { // no request may end the service
        answer = {{"error", "the request failed inside the service"}};
    }
    if (!sendAll(client.fd.get(), answerLine(answer), sendTimeoutMs))
        return false;
    if (answer.contains("following") && !client.following) {
        client.following = true;
        const std::lock_guard<std::mutex> lock(followersLock_);
        followers_.push_back(client.fd.get());
    }
    return true;
}

} // namespace oxagent
