#include "agent/oxAgentControlSocket.h"
#include "agent/oxAgentHost.h"
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace oxagent {

namespace {

std::string defaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0')
        return std::string(runtime) + "/ox";
    return "/tmp/ox-" + std::to_string(geteuid());
}

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        throw oxAgentError_c(path + ": too long for a socket path");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

// Makes the folder (0700) when missing. The default folder may lie in a place others can
// write (/tmp): it must be a real folder of this user that no one else can enter.
void prepareFolder(const std::string& folder, bool isDefault) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw oxAgentError_c(folder + ": " + std::strerror(errno));
    struct stat info {};
    if (isDefault && (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
                      info.st_uid != geteuid() || (info.st_mode & 077) != 0))
        throw oxAgentError_c(folder + ": not a folder of this user closed to others");
}

} // namespace

oxAgentFd_c::~oxAgentFd_c() {
    if (fd_ >= 0)
        close(fd_);
}

oxAgentFd_c& oxAgentFd_c::operator=(oxAgentFd_c&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

std::string defaultControlPath() {
    return defaultFolder() + "/oxagent.sock";
}

std::string resolveControlPath(const std::string& given) {
    return given.empty() ? defaultControlPath() : given;
}

oxAgentListener listenOnControl(const std::string& path) {
    const sockaddr_un address = addressOf(path);
    const std::string folder = std::filesystem::path(path).parent_path().string();
    prepareFolder(folder.empty() ? "." : folder, folder == defaultFolder());
    // Whoever holds the lock owns the path: two services starting at once cannot both find
    // the socket stale and the second unlink the first one's live socket.
    const std::string lockPath = path + ".lock";
    oxAgentFd_c lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock)
        throw oxAgentError_c(lockPath + ": " + std::strerror(errno));
    const bool locked = flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
    if (!locked && errno != EWOULDBLOCK)
        throw oxAgentError_c(lockPath + ": " + std::strerror(errno));
    if (!locked || connectToControl(path))
        throw oxAgentError_c(path + ": another service already listens there");
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode))
            throw oxAgentError_c(path + ": exists and is not a socket");
        unlink(path.c_str()); // left by a service that was killed
    }
    oxAgentFd_c fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        throw oxAgentError_c(std::string("control socket: ") + std::strerror(errno));
    const mode_t mask = umask(0177); // created 0600, never wider for a moment
    const int bound = bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int error = errno;
    umask(mask);
    if (bound != 0 || listen(fd.get(), 64) != 0)
        throw oxAgentError_c(path + ": " + std::strerror(bound != 0 ? error : errno));
    return {std::move(fd), std::move(lock)};
}

oxAgentFd_c connectToControl(const std::string& path) {
    const sockaddr_un address = addressOf(path);
    oxAgentFd_c fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd && connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return oxAgentFd_c();
    // A socket in a folder others may write to could be anyone's: trust only our own or root's.
    if (fd && !peerAllowed(fd.get()))
        throw oxAgentError_c(path + ": the service there runs as another user");
    return fd;
}

bool peerAllowed(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == geteuid() || peer.uid == 0;
}

bool sendAll(int fd, const std::string& text, int timeoutMs) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n =
            send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        pollfd wait{fd, POLLOUT, 0};
        if (poll(&wait, 1, timeoutMs) <= 0)
            return false;
    }
    return true;
}

bool readLine(int fd, std::string& buffer, std::string& line) {
    for (;;) {
        const std::size_t end = buffer.find('\n');
        if (end != std::string::npos) {
            line.assign(buffer, 0, end);
            buffer.erase(0, end + 1);
            return true;
        }
        char chunk[65536];
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            return false; // a signal ends a waiting client
        if (n <= 0)
            return false;
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

} // namespace oxagent
