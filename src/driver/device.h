// The one channel to the board driver. Every request the library makes goes through
// Device::control; the senders of channel.h are its only callers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace dravik {

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// Device interface class of the board driver: {B86CD22A-DF71-4E3E-93BA-C56228A4A1DC}.
constexpr Guid kDriverInterfaceClass = {
    0xB86CD22A, 0xDF71, 0x4E3E, {0x93, 0xBA, 0xC5, 0x62, 0x28, 0xA4, 0xA1, 0xDC}};

// "{B86CD22A-DF71-4E3E-93BA-C56228A4A1DC}" for kDriverInterfaceClass (upper-case hex).
std::string guid_to_string(const Guid& guid);

class Device {
public:
    virtual ~Device() = default;
    // One device I/O control request, synchronous. `in` and `out` may alias (the driver command
    // uses one buffer both ways). Returns false when the platform or the driver refuses the
    // request or the channel is broken; `out` is then undefined. Not thread-safe: the library
    // serialises calls with its own lock.
    virtual bool control(uint32_t code, const void* in, uint32_t in_len, void* out,
                         uint32_t out_len) = 0;
};

// Opens interface `index` of the given device interface class, or returns nullptr when there is
// none or it cannot be opened. Built from exactly one platform backend (socket or win32).
std::unique_ptr<Device> open_driver_device(const Guid& interface_class, int index);

}  // namespace dravik
