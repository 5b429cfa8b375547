// The device socket: how the board driver's device is reached on Linux, where the simulator
// (dravik-sim) stands in for driver and boards. Shared by the library's socket backend and the
// simulator's server.
//
// Address: a Unix-domain stream socket in the abstract namespace. Interface n of class
// {B86CD22A-DF71-4E3E-93BA-C56228A4A1DC} is named "dravik/{B86CD22A-DF71-4E3E-93BA-C56228A4A1DC}/n":
// a leading NUL byte, then these ASCII bytes, no trailing NUL. Open = connect; the connection is
// the device handle.
//
// Request frame, little-endian: uint32 code, uint32 in_len, uint32 out_len, then in_len bytes.
// Response frame: uint32 ok (1 success, 0 refused), uint32 len (<= out_len), then len bytes.
// One request in flight per connection; requests are answered in order.
//
// Codes from kSimControlBase upward are the simulator's own control requests; the library never
// sends them.
#pragma once

#include <cstdint>
#include <string>

namespace dravik {

constexpr uint32_t kFrameHeaderSize = 12;    // request: code, in_len, out_len
constexpr uint32_t kResponseHeaderSize = 8;  // response: ok, len
constexpr uint32_t kMaxFramePayload = 1u << 20;  // larger lengths are malformed frames
constexpr uint32_t kSimControlBase = 0x5D000000;

// Abstract socket name of interface `index` of the driver's class, without the leading NUL.
inline std::string device_socket_name(int index) {
    return "dravik/{B86CD22A-DF71-4E3E-93BA-C56228A4A1DC}/" + std::to_string(index);
}

}  // namespace dravik
