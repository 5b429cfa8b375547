// A client of the device socket: sends request frames and reads the response frames. Used by the
// `ctl` commands, the tests and the benchmarks; the library has its own backend.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravik::sim {

class SimClient {
public:
    SimClient() = default;
    ~SimClient();
    SimClient(const SimClient&) = delete;
    SimClient& operator=(const SimClient&) = delete;

    // Connects to the abstract socket `name` (without the leading NUL).
    bool connect(const std::string& name);
    bool connected() const { return fd_ >= 0; }
    void close();

    // Sends one request and waits for its answer. False when the connection is broken or the
    // answer is malformed; otherwise `ok` holds the answer's ok word and `out` its bytes.
    bool request(uint32_t code, const void* in, uint32_t in_len, uint32_t out_len, bool& ok,
                 std::vector<uint8_t>& out);
    // Sends raw bytes (for tests that send malformed frames).
    bool send_raw(const void* data, size_t size);
    // Reads exactly `size` bytes; false on end of stream or error.
    bool read_exact(void* data, size_t size);

private:
    int fd_ = -1;
    std::vector<uint8_t> frame_;
};

}  // namespace dravik::sim
