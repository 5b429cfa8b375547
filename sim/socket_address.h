// sockaddr_un for a name in the abstract namespace (leading NUL, no trailing NUL).
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace dravik::sim {

class AbstractAddress {
public:
    explicit AbstractAddress(const std::string& name) {
        addr_.sun_family = AF_UNIX;
        const size_t n = std::min(name.size(), sizeof addr_.sun_path - 1);
        std::memcpy(addr_.sun_path + 1, name.data(), n);
        length_ = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    }
    const sockaddr* sockaddr_ptr() const { return reinterpret_cast<const sockaddr*>(&addr_); }
    socklen_t length() const { return length_; }

private:
    sockaddr_un addr_{};
    socklen_t length_ = 0;
};

}  // namespace dravik::sim
