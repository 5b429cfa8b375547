// Windows backend of the device layer (see device_win32.h).
#include "driver/device_win32.h"

#include <cstdlib>
#include <cstring>

namespace dravik {
namespace win32 {
namespace {

class HandleDevice final : public Device {
public:
    HandleDevice(const DeviceApi& api, HANDLE handle) : api_(api), handle_(handle) {}
    ~HandleDevice() override { api_.close_handle(handle_); }
    HandleDevice(const HandleDevice&) = delete;
    HandleDevice& operator=(const HandleDevice&) = delete;

    bool control(uint32_t code, const void* in, uint32_t in_len, void* out,
                 uint32_t out_len) override {
        // Synchronous buffered request: the driver copies the input before writing the output,
        // so one buffer may serve both ways. The returned byte count is not used.
        DWORD returned = 0;
        return api_.io_control(handle_, code, const_cast<void*>(in), in_len, out, out_len,
                               &returned, nullptr) != FALSE;
    }

private:
    const DeviceApi& api_;
    HANDLE handle_;
};

}  // namespace

GUID to_win32_guid(const Guid& guid) {
    GUID out{};
    out.Data1 = guid.data1;
    out.Data2 = guid.data2;
    out.Data3 = guid.data3;
    std::memcpy(out.Data4, guid.data4, sizeof out.Data4);
    return out;
}

const DeviceApi& system_device_api() {
    static const DeviceApi api = {
        SetupDiGetClassDevsA,
        SetupDiEnumDeviceInterfaces,
        SetupDiGetDeviceInterfaceDetailA,
        SetupDiDestroyDeviceInfoList,
        CreateFileA,
        DeviceIoControl,
        CloseHandle,
    };
    return api;
}

HANDLE open_device_handle(const DeviceApi& api, const GUID& interface_class, DWORD index) {
    HDEVINFO set = api.get_class_devs(&interface_class, nullptr, nullptr, kClassDevsFlags);
    if (set == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;

    SP_DEVICE_INTERFACE_DATA interface_data;
    std::memset(&interface_data, 0, sizeof interface_data);
    interface_data.cbSize = kInterfaceDataSize;
    if (!api.enum_interfaces(set, nullptr, &interface_class, index, &interface_data)) {
        api.destroy_list(set);
        return INVALID_HANDLE_VALUE;
    }

    // Size query: fails by design (no buffer) and reports the size needed.
    DWORD required = 0;
    api.get_interface_detail(set, &interface_data, nullptr, 0, &required, nullptr);
    // A reported size too small to hold the record's size field cannot be a valid answer:
    // writing cbSize into such a buffer would overrun it.
    auto* detail = required >= kInterfaceDetailSize
                       ? static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(std::calloc(1, required))
                       : nullptr;
    if (detail == nullptr) {
        api.destroy_list(set);
        return INVALID_HANDLE_VALUE;
    }
    detail->cbSize = kInterfaceDetailSize;
    if (!api.get_interface_detail(set, &interface_data, detail, required, nullptr, nullptr)) {
        api.destroy_list(set);
        std::free(detail);
        return INVALID_HANDLE_VALUE;
    }

    HANDLE handle = api.create_file(detail->DevicePath, kDeviceAccess, kDeviceShare, nullptr,
                                    OPEN_EXISTING, kDeviceAttributes, nullptr);
    std::free(detail);
    api.destroy_list(set);
    return handle;  // INVALID_HANDLE_VALUE when the open was refused
}

std::unique_ptr<Device> make_handle_device(const DeviceApi& api, HANDLE handle) {
    return std::make_unique<HandleDevice>(api, handle);
}

}  // namespace win32

std::unique_ptr<Device> open_driver_device(const Guid& interface_class, int index) {
    if (index < 0) return nullptr;
    const win32::DeviceApi& api = win32::system_device_api();
    const GUID klass = win32::to_win32_guid(interface_class);
    HANDLE handle = win32::open_device_handle(api, klass, static_cast<DWORD>(index));
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return win32::make_handle_device(api, handle);
}

}  // namespace dravik
