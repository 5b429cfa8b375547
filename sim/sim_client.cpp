#include "sim_client.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

#include "driver/socket_protocol.h"
#include "socket_address.h"

namespace dravik::sim {

SimClient::~SimClient() { close(); }

void SimClient::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool SimClient::connect(const std::string& name) {
    close();
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    const AbstractAddress address(name);
    if (::connect(fd_, address.sockaddr_ptr(), address.length()) != 0) {
        close();
        return false;
    }
    return true;
}

bool SimClient::send_raw(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::send(fd_, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool SimClient::read_exact(void* data, size_t size) {
    auto* p = static_cast<uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::recv(fd_, p, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool SimClient::request(uint32_t code, const void* in, uint32_t in_len, uint32_t out_len,
                        bool& ok, std::vector<uint8_t>& out) {
    if (fd_ < 0) return false;
    const uint32_t header[3] = {code, in_len, out_len};
    frame_.resize(sizeof header + in_len);
    std::memcpy(frame_.data(), header, sizeof header);
    if (in_len > 0) std::memcpy(frame_.data() + sizeof header, in, in_len);
    if (!send_raw(frame_.data(), frame_.size())) return false;
    // One request is in flight, so nothing follows its answer: read as much as it can hold.
    // (A well-formed answer is never longer than kMaxFramePayload.)
    frame_.resize(8 + static_cast<size_t>(std::min(out_len, kMaxFramePayload)));
    size_t got = 0;
    uint32_t response[2] = {0, 0};
    for (;;) {
        const ssize_t n = ::recv(fd_, frame_.data() + got, frame_.size() - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
        if (got < sizeof response) continue;
        std::memcpy(response, frame_.data(), sizeof response);
        if (response[1] > out_len) return false;
        if (got >= sizeof response + response[1]) break;
    }
    if (got != sizeof response + response[1]) return false;  // more than one answer
    out.assign(frame_.begin() + sizeof response, frame_.begin() + static_cast<ptrdiff_t>(got));
    ok = response[0] == 1;
    return true;
}

}  // namespace dravik::sim
