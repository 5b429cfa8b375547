#include "socket_server.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "driver/socket_protocol.h"
#include "socket_address.h"

namespace dravik::sim {

namespace {
constexpr size_t kMaxPendingOutput = 4u << 20;  // stop reading a client that does not read
}  // namespace

SocketServer::SocketServer(Simulator& simulator, std::string name)
    : simulator_(simulator), name_(std::move(name)) {
    epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
    stop_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

SocketServer::~SocketServer() {
    for (auto& [fd, c] : connections_) ::close(fd);
    if (listen_fd_ >= 0) ::close(listen_fd_);
    if (stop_fd_ >= 0) ::close(stop_fd_);
    if (epoll_fd_ >= 0) ::close(epoll_fd_);
}

bool SocketServer::listen(std::string& error) {
    if (epoll_fd_ < 0 || stop_fd_ < 0) {
        error = std::string("cannot set up the event loop: ") + std::strerror(errno);
        return false;
    }
    listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const AbstractAddress address(name_);
    if (bind(listen_fd_, address.sockaddr_ptr(), address.length()) != 0) {
        error = "cannot bind the device socket @" + name_ + ": " + std::strerror(errno) +
                (errno == EADDRINUSE ? " (another simulator serves this interface)" : "");
        return false;
    }
    if (::listen(listen_fd_, 64) != 0) {
        error = std::string("listen: ") + std::strerror(errno);
        return false;
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = listen_fd_;
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, listen_fd_, &ev);
    ev.data.fd = stop_fd_;
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, stop_fd_, &ev);
    return true;
}

void SocketServer::request_stop() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stop_fd_, &one, sizeof one);
}

void SocketServer::run() {
    epoll_event events[32];
    for (;;) {
        const int n = epoll_wait(epoll_fd_, events, 32, -1);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == stop_fd_) {
                for (auto& [cfd, c] : connections_) ::close(cfd);
                connections_.clear();
                return;
            }
            if (fd == listen_fd_) {
                accept_clients();
                continue;
            }
            const auto it = connections_.find(fd);
            if (it == connections_.end()) continue;
            Connection& c = *it->second;
            bool keep = true;
            if (events[i].events & EPOLLOUT) keep = flush(c) && process_frames(c);
            if (keep && (events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR))) keep = on_readable(c);
            if (!keep) close_connection(fd);
        }
    }
}

void SocketServer::accept_clients() {
    for (;;) {
        const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (connections_.size() >= static_cast<size_t>(kMaxConnections)) {
            ::close(fd);
            continue;
        }
        auto c = std::make_unique<Connection>();
        c->fd = fd;
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = fd;
        epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &ev);
        connections_[fd] = std::move(c);
    }
}

void SocketServer::close_connection(int fd) {
    epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
    connections_.erase(fd);
}

void SocketServer::watch(Connection& c, bool want_write) {
    if (c.writing == want_write) return;
    c.writing = want_write;
    epoll_event ev{};
    ev.events = want_write ? EPOLLOUT : EPOLLIN;
    ev.data.fd = c.fd;
    epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, c.fd, &ev);
}

bool SocketServer::on_readable(Connection& c) {
    for (;;) {
        const ssize_t n = ::recv(c.fd, scratch_.data(), scratch_.size(), 0);
        if (n == 0) return false;  // the client closed its end
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            return false;
        }
        c.in.insert(c.in.end(), scratch_.begin(), scratch_.begin() + n);
        if (static_cast<size_t>(n) < scratch_.size()) break;
    }
    return process_frames(c);
}

bool SocketServer::process_frames(Connection& c) {
    size_t pos = 0;
    while (c.out.size() - c.out_sent < kMaxPendingOutput && c.in.size() - pos >= kFrameHeaderSize) {
        uint32_t header[3];
        std::memcpy(header, c.in.data() + pos, sizeof header);
        const uint32_t code = header[0], in_len = header[1], out_len = header[2];
        if (in_len > kMaxFramePayload || out_len > kMaxFramePayload) return false;
        if (c.in.size() - pos - kFrameHeaderSize < in_len) break;
        const Reply reply = simulator_.handle(c.session, code, c.in.data() + pos + kFrameHeaderSize,
                                              in_len, out_len, reply_);
        if (reply.drop) return false;
        pos += kFrameHeaderSize + in_len;
        const uint32_t response[2] = {reply.ok ? 1u : 0u, static_cast<uint32_t>(reply_.size())};
        const auto* r = reinterpret_cast<const uint8_t*>(response);
        c.out.insert(c.out.end(), r, r + sizeof response);
        c.out.insert(c.out.end(), reply_.begin(), reply_.end());
    }
    c.in.erase(c.in.begin(), c.in.begin() + static_cast<ptrdiff_t>(pos));
    return flush(c);
}

bool SocketServer::flush(Connection& c) {
    while (c.out_sent < c.out.size()) {
        const ssize_t n = ::send(c.fd, c.out.data() + c.out_sent, c.out.size() - c.out_sent,
                                 MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                watch(c, true);
                return true;
            }
            return false;
        }
        c.out_sent += static_cast<size_t>(n);
    }
    c.out.clear();
    c.out_sent = 0;
    watch(c, false);
    return true;
}

}  // namespace dravik::sim
