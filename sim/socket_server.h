// Serves the simulator on the device socket: a Unix-domain stream socket in the abstract
// namespace, one thread, epoll. Several clients at once, each with its own Session; requests of
// one connection are answered in order. A frame whose lengths exceed kMaxFramePayload closes the
// connection; anything else malformed is answered ok = 0. Idle, the thread sleeps in epoll_wait
// (no timer, no polling).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "simulator.h"

namespace dravik::sim {

class SocketServer {
public:
    // `name` is the abstract socket name without its leading NUL byte.
    SocketServer(Simulator& simulator, std::string name);
    ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // Binds and listens; false with a message when the name is taken or sockets fail.
    bool listen(std::string& error);
    // Serves until request_stop(); returns after closing every connection.
    void run();
    // Makes run() return. Safe from any thread and from a signal handler.
    void request_stop();

    static constexpr int kMaxConnections = 256;

private:
    struct Connection {
        int fd = -1;
        Session session;
        std::vector<uint8_t> in;
        std::vector<uint8_t> out;
        size_t out_sent = 0;
        bool writing = false;  // waiting for the socket to take more output (EPOLLOUT)
    };

    void accept_clients();
    // Reads what is available and answers every complete frame; false: close the connection.
    bool on_readable(Connection& c);
    bool process_frames(Connection& c);
    bool flush(Connection& c);
    void watch(Connection& c, bool want_write);
    void close_connection(int fd);

    Simulator& simulator_;
    std::string name_;
    int listen_fd_ = -1;
    int epoll_fd_ = -1;
    int stop_fd_ = -1;
    std::map<int, std::unique_ptr<Connection>> connections_;
    std::vector<uint8_t> reply_;
    std::vector<uint8_t> scratch_ = std::vector<uint8_t>(64 * 1024);  // one recv's worth
};

}  // namespace dravik::sim
