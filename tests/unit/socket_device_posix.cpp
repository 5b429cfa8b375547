// The socket device backend against a small server in the test: frames byte for byte, refused
// requests, malformed answers and dropped connections.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "core/error_calls.h"
#include "core/library.h"
#include "core/versions.h"
#include "driver/device.h"
#include "driver/socket_protocol.h"

namespace dravik::test {
namespace {

std::vector<uint8_t> u32le(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> out;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
    return out;
}

bool read_exact(int fd, void* buf, size_t len) {
    auto* p = static_cast<uint8_t*>(buf);
    while (len > 0) {
        const ssize_t n = ::recv(fd, p, len, 0);
        if (n <= 0) return false;
        p += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

void write_all(int fd, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
}

// One request as the server received it.
struct Frame {
    uint32_t code = 0, in_len = 0, out_len = 0;
    std::vector<uint8_t> raw;  // header and payload as received
};

bool read_frame(int fd, Frame* f) {
    uint8_t header[kFrameHeaderSize];
    if (!read_exact(fd, header, sizeof header)) return false;
    std::memcpy(&f->code, header, 4);
    std::memcpy(&f->in_len, header + 4, 4);
    std::memcpy(&f->out_len, header + 8, 4);
    f->raw.assign(header, header + sizeof header);
    std::vector<uint8_t> payload(f->in_len);
    if (!read_exact(fd, payload.data(), payload.size())) return false;
    f->raw.insert(f->raw.end(), payload.begin(), payload.end());
    return true;
}

// A listening abstract socket for interface `index` of the driver class, serving one connection
// with `handler` on its own thread.
class TestServer {
public:
    TestServer(int index, std::function<void(int fd)> handler) {
        listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const std::string name = device_socket_name(index);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path + 1, name.data(), name.size());
        const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        bound_ = ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
                 ::listen(listen_fd_, 1) == 0;
        thread_ = std::thread([this, handler] {
            const int fd = ::accept(listen_fd_, nullptr, nullptr);
            if (fd < 0) return;
            handler(fd);
            ::close(fd);
        });
    }
    ~TestServer() {
        ::shutdown(listen_fd_, SHUT_RDWR);
        thread_.join();
        ::close(listen_fd_);
    }
    bool bound() const { return bound_; }

private:
    int listen_fd_ = -1;
    bool bound_ = false;
    std::thread thread_;
};

// An interface number no other test process uses.
int private_index() { return 100000 + static_cast<int>(::getpid()); }

TEST(SocketDevice, SocketNameOfTheDriverClass) {
    EXPECT_EQ(guid_to_string(kDriverInterfaceClass), "{B86CD22A-DF71-4E3E-93BA-C56228A4A1DC}");
    EXPECT_EQ(device_socket_name(0), "dravik/{B86CD22A-DF71-4E3E-93BA-C56228A4A1DC}/0");
}

TEST(SocketDevice, NoServerMeansNoDevice) {
    EXPECT_EQ(open_driver_device(kDriverInterfaceClass, private_index()), nullptr);
}

TEST(SocketDevice, DriverCommandFrameByteForByte) {
    Frame got;
    std::vector<uint8_t> expected_frame = u32le({kRequestDriverCommand, 48, 48});
    const auto payload = u32le({kCmdReadAxisReg, 2, 3, 56, 0, 0, 0, 0, 0, 0, 0, 0});
    expected_frame.insert(expected_frame.end(), payload.begin(), payload.end());
    {
        TestServer server(private_index(), [&](int fd) {
            if (!read_frame(fd, &got)) return;
            std::vector<uint8_t> answer = u32le({1, 48});
            const auto words = u32le({kCmdReadAxisReg, 2, 0x202608, 56, 0, 0, 0, 0, 0, 0, 0, 0});
            answer.insert(answer.end(), words.begin(), words.end());
            write_all(fd, answer);
        });
        ASSERT_TRUE(server.bound());
        Library lib(open_driver_device(kDriverInterfaceClass, private_index()));
        ASSERT_TRUE(lib.driver.is_open());
        int value = 0;
        EXPECT_EQ(read_reg(lib, 3, 56, &value), 0);
        EXPECT_EQ(value, 0x202608);
    }  // the server thread has ended here
    EXPECT_EQ(got.raw, expected_frame);
}

TEST(SocketDevice, MotionBlockAndBoardRecordFrames) {
    std::vector<Frame> frames;
    {
        TestServer server(private_index(), [&](int fd) {
            Frame f;
            while (read_frame(fd, &f)) {
                frames.push_back(f);
                if (f.code == kRequestMotionBlock) {
                    write_all(fd, u32le({1, 4, frames.size() == 1 ? 1u : 0u}));
                } else {
                    std::vector<uint8_t> answer = u32le({1, 40});
                    for (int i = 0; i < 40; ++i) answer.push_back(static_cast<uint8_t>(i + 1));
                    write_all(fd, answer);
                }
            }
        });
        ASSERT_TRUE(server.bound());
        {
            Library lib(open_driver_device(kDriverInterfaceClass, private_index()));
            MotionBlock block{};
            block.axis = 2;
            block.serial = 0x01020304;
            EXPECT_EQ(lib.driver.send_motion_block(block), 0);
            EXPECT_EQ(lib.driver.send_motion_block(block), -3);  // accepted = 0
            EXPECT_EQ(get_last_err(lib), kErrMotionRefused);
            int32_t record[10] = {};
            EXPECT_EQ(get_board_db_info(lib, 7, record), 0);
            EXPECT_EQ(reinterpret_cast<uint8_t*>(record)[39], 40);
        }
    }  // the server thread has ended here
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].code, kRequestMotionBlock);
    EXPECT_EQ(frames[0].in_len, 104u);
    EXPECT_EQ(frames[0].out_len, 4u);
    EXPECT_EQ(frames[0].raw.size(), 12u + 104u);
    EXPECT_EQ(std::vector<uint8_t>(frames[0].raw.begin() + 12, frames[0].raw.begin() + 16),
              u32le({2}));
    EXPECT_EQ(std::vector<uint8_t>(frames[0].raw.end() - 4, frames[0].raw.end()),
              (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(frames[2].raw,
              (std::vector<uint8_t>{0x28, 0x20, 0x22, 0, 4, 0, 0, 0, 40, 0, 0, 0, 7, 0, 0, 0}));
}

TEST(SocketDevice, RefusedRequestFailsOnlyThatRequest) {
    TestServer server(private_index(), [&](int fd) {
        Frame f;
        if (!read_frame(fd, &f)) return;
        write_all(fd, u32le({0, 0}));  // refused
        if (!read_frame(fd, &f)) return;
        std::vector<uint8_t> answer = u32le({1, 48, kCmdBoardCount, 0, 3});
        answer.resize(8 + 48, 0);
        write_all(fd, answer);
    });
    ASSERT_TRUE(server.bound());
    Library lib(open_driver_device(kDriverInterfaceClass, private_index()));
    EXPECT_EQ(lib.driver.read_board_count(), -1);
    EXPECT_EQ(get_last_err(lib), kErrRequestFailed);
    EXPECT_EQ(lib.driver.read_board_count(), 3);
}

// Answers that break the stream: every one fails its request and every later request too.
TEST(SocketDevice, BrokenAnswersBreakTheConnectionForGood) {
    struct Row {
        const char* name;
        std::vector<uint8_t> answer;  // sent after the first request, then the server closes
    };
    std::vector<uint8_t> short_payload = u32le({1, 48, 1, 2});
    const Row rows[] = {
        {"connection dropped", {}},
        {"short header", {1, 0, 0}},
        {"short payload", short_payload},
        {"length above out_len", u32le({1, 49})},
        {"ok neither 0 nor 1", u32le({2, 0})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestServer server(private_index(), [&](int fd) {
            Frame f;
            if (!read_frame(fd, &f)) return;
            if (!row.answer.empty()) write_all(fd, row.answer);
        });
        ASSERT_TRUE(server.bound());
        Library lib(open_driver_device(kDriverInterfaceClass, private_index()));
        ASSERT_TRUE(lib.driver.is_open());
        int v = 0;
        EXPECT_EQ(read_reg(lib, 1, 0, &v), -1);
        EXPECT_EQ(get_last_err(lib), kErrRequestFailed);
        reset_err(lib);
        EXPECT_EQ(lib.driver.read_board_count(), -1);
        EXPECT_EQ(get_last_err(lib), kErrRequestFailed);
    }
}

TEST(SocketDevice, WritingToAClosedPeerRaisesNoSignal) {
    TestServer server(private_index(), [](int) {});  // accepts and closes at once
    ASSERT_TRUE(server.bound());
    auto device = open_driver_device(kDriverInterfaceClass, private_index());
    ASSERT_NE(device, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // A large request makes the write itself hit the closed peer; SIGPIPE would end the test.
    std::vector<uint8_t> big(256 * 1024, 0xAB);
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(
            device->control(kRequestDriverCommand, big.data(), uint32_t(big.size()), &out, 4));
}

}  // namespace
}  // namespace dravik::test
