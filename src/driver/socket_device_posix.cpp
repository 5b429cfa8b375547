// Device backend for Linux: the driver's device is a Unix-domain stream socket in the abstract
// namespace (served by dravik-sim). See socket_protocol.h for the frames.
//
// Failure handling: a response with ok = 0 fails that one request and leaves the connection
// usable. A short read, a write error, a malformed response (ok not 0 or 1, len above out_len or
// above kMaxFramePayload) or no answer within kReplyTimeout leaves the stream out of step, so the
// connection is marked broken: that request and every later one fail at once, without touching
// the socket again. Writes use MSG_NOSIGNAL, so a peer that went away never raises SIGPIPE.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

#include "driver/device.h"
#include "driver/socket_protocol.h"

namespace dravik {
namespace {

constexpr int kReplyTimeoutSeconds = 10;

void put_u32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

uint32_t get_u32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool send_all(int fd, const unsigned char* data, size_t len) {
    while (len > 0) {
        ssize_t n = ::send(fd, data, len, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

bool recv_all(int fd, unsigned char* data, size_t len) {
    while (len > 0) {
        ssize_t n = ::recv(fd, data, len, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // peer closed, error or timeout
        data += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

class SocketDevice final : public Device {
public:
    explicit SocketDevice(int fd) : fd_(fd) {}
    ~SocketDevice() override { ::close(fd_); }
    SocketDevice(const SocketDevice&) = delete;
    SocketDevice& operator=(const SocketDevice&) = delete;

    bool control(uint32_t code, const void* in, uint32_t in_len, void* out,
                 uint32_t out_len) override {
        if (broken_) return false;
        if (in_len > kMaxFramePayload || out_len > kMaxFramePayload) return false;

        // Header and payload go out in one send; the three requests of the library fit the
        // stack buffer.
        unsigned char small[kFrameHeaderSize + 128];
        std::vector<unsigned char> large;
        unsigned char* frame = small;
        if (in_len > sizeof small - kFrameHeaderSize) {
            large.resize(kFrameHeaderSize + in_len);
            frame = large.data();
        }
        put_u32(frame, code);
        put_u32(frame + 4, in_len);
        put_u32(frame + 8, out_len);
        if (in_len > 0) std::memcpy(frame + kFrameHeaderSize, in, in_len);
        if (!send_all(fd_, frame, kFrameHeaderSize + in_len)) return fail();

        unsigned char header[kResponseHeaderSize];
        if (!recv_all(fd_, header, sizeof header)) return fail();
        const uint32_t ok = get_u32(header);
        const uint32_t len = get_u32(header + 4);
        if (ok > 1 || len > out_len) return fail();
        if (len > 0 && !recv_all(fd_, static_cast<unsigned char*>(out), len)) return fail();
        return ok == 1;
    }

private:
    bool fail() {
        broken_ = true;
        return false;
    }

    int fd_;
    bool broken_ = false;
};

}  // namespace

std::unique_ptr<Device> open_driver_device(const Guid& interface_class, int index) {
    const std::string name =
        "dravik/" + guid_to_string(interface_class) + "/" + std::to_string(index);
    sockaddr_un addr{};
    if (name.size() + 1 > sizeof addr.sun_path) return nullptr;
    addr.sun_family = AF_UNIX;
    addr.sun_path[0] = '\0';
    std::memcpy(addr.sun_path + 1, name.data(), name.size());
    const auto addr_len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), addr_len) != 0) {
        ::close(fd);
        return nullptr;
    }
    timeval timeout{};
    timeout.tv_sec = kReplyTimeoutSeconds;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    return std::make_unique<SocketDevice>(fd);
}

}  // namespace dravik
