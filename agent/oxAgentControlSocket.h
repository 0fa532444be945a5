// The control socket's path and the Unix-domain primitives the service and its clients share:
// where the socket lives, claiming it (a live service refuses, a stale file is replaced),
// connecting, the peer's user, and line-wise reading and writing.
#pragma once
#include <cstddef>
#include <string>
#include <utility>

namespace oxagent {

// A file descriptor closed when it goes.
class oxAgentFd_c {
  public:
    explicit oxAgentFd_c(int fd = -1) noexcept : fd_(fd) {}
    ~oxAgentFd_c();
    oxAgentFd_c(oxAgentFd_c&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    oxAgentFd_c& operator=(oxAgentFd_c&& other) noexcept;
    int get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }

  private:
    int fd_;
};

// Requests longer than this (without their newline) are refused.
constexpr std::size_t maxRequestLength = 64 * 1024;

// $XDG_RUNTIME_DIR/ox/oxagent.sock, or /tmp/ox-UID/oxagent.sock without XDG_RUNTIME_DIR.
std::string defaultControlPath();
// The given path, or the default one when it is empty.
std::string resolveControlPath(const std::string& given);

// A service's claim on a control path: the listening socket and the lock on PATH.lock that
// makes it the one service there while it lives.
struct oxAgentListener {
    oxAgentFd_c socket, lock;
};

// Listens on the path with mode 0600. A missing folder is made with mode 0700; the default
// folder must belong to this user and be closed to others. A socket file that no service
// holds is replaced. Throws oxAgentError_c when a service already holds the path or the socket
// cannot be made.
oxAgentListener listenOnControl(const std::string& path);
// A connection to the service on the path; none when no service listens there. Throws
// oxAgentError_c when the one that does runs as another user than this one or root.
oxAgentFd_c connectToControl(const std::string& path);
// Whether the peer runs as this process's user or as root (SO_PEERCRED).
bool peerAllowed(int fd);

// Writes all of the text; false when the peer is gone or takes nothing for timeoutMs.
bool sendAll(int fd, const std::string& text, int timeoutMs);
// Takes the next line (without its newline) out of buffer, reading more from fd while none is
// complete; false at the end of the input or on an error.
bool readLine(int fd, std::string& buffer, std::string& line);

} // namespace oxagent
