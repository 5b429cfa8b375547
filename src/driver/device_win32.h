// Windows backend of the device layer: the board driver's device found through SetupAPI and
// driven with DeviceIoControl. The system calls go through a DeviceApi table so that tests can
// check the exact sequence and arguments with a recording fake; the library uses the real one.
#pragma once

// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
#include <setupapi.h>
// clang-format on

#include <memory>

#include "driver/device.h"

namespace dravik::win32 {

// The system calls the backend makes, with their Win32 signatures.
struct DeviceApi {
    HDEVINFO(WINAPI* get_class_devs)(const GUID*, PCSTR, HWND, DWORD);
    BOOL(WINAPI* enum_interfaces)
    (HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA);
    BOOL(WINAPI* get_interface_detail)
    (HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_A, DWORD, PDWORD,
     PSP_DEVINFO_DATA);
    BOOL(WINAPI* destroy_list)(HDEVINFO);
    HANDLE(WINAPI* create_file)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL(WINAPI* io_control)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI* close_handle)(HANDLE);
};

// SetupDiGetClassDevsA and friends, CreateFileA, DeviceIoControl, CloseHandle.
const DeviceApi& system_device_api();

// Values the open sequence passes to the system.
constexpr DWORD kClassDevsFlags = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;  // 0x12
constexpr DWORD kDeviceAccess = GENERIC_READ | GENERIC_WRITE;             // 0xC0000000
constexpr DWORD kDeviceShare = FILE_SHARE_READ | FILE_SHARE_WRITE;        // 3
constexpr DWORD kDeviceAttributes = FILE_ATTRIBUTE_NORMAL;                // 0x80

// The size fields the set-up calls check. They are the sizes of the fixed parts of the records
// for the platform built: 28 and 5 in a 32-bit build (byte-packed), 32 and 8 in a 64-bit build.
constexpr DWORD kInterfaceDataSize = sizeof(SP_DEVICE_INTERFACE_DATA);
constexpr DWORD kInterfaceDetailSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
#ifdef _WIN64
static_assert(kInterfaceDataSize == 32 && kInterfaceDetailSize == 8);
#else
static_assert(kInterfaceDataSize == 28 && kInterfaceDetailSize == 5);
#endif

// Finds interface `index` of `interface_class` among the present devices and opens its path
// (read/write, shared read/write, existing only, synchronous). INVALID_HANDLE_VALUE when there is
// no such interface or it cannot be opened; every set-up resource is released either way.
HANDLE open_device_handle(const DeviceApi& api, const GUID& interface_class, DWORD index);

// A Device over an open handle: one DeviceIoControl per request; closes the handle when
// destroyed.
std::unique_ptr<Device> make_handle_device(const DeviceApi& api, HANDLE handle);

GUID to_win32_guid(const Guid& guid);

}  // namespace dravik::win32
