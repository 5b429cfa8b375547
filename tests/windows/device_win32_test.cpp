// The Windows device backend against a recording fake of the system calls: the exact SetupAPI
// sequence and arguments, every failure path releasing what it took, and the three requests.
#include "driver/device_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace dravik::win32 {
namespace {

// Canned answers and a log of every call, shared by the WINAPI fakes below.
struct FakeSystem {
    bool class_devs_ok = true;
    bool enum_ok = true;
    DWORD detail_size = 64;  // what the size query reports
    bool detail_ok = true;
    bool open_ok = true;
    bool io_ok = true;
    std::vector<std::string> calls;

    DWORD class_devs_flags = 0;
    GUID class_devs_guid{};
    DWORD enum_index = 99;
    DWORD enum_cb_size = 0;
    DWORD detail_cb_size = 0;
    DWORD detail_buffer_size = 0;
    std::string opened_path;
    DWORD access = 0, share = 0, disposition = 0, attributes = 0;
    bool template_or_security = false;
    DWORD io_code = 0, io_in_len = 0, io_out_len = 0;
    const void* io_in = nullptr;
    void* io_out = nullptr;
    bool io_overlapped = false;
    HANDLE closed = nullptr;
};
FakeSystem* fake = nullptr;

const HDEVINFO kSet = reinterpret_cast<HDEVINFO>(0x5E7);
const HANDLE kHandle = reinterpret_cast<HANDLE>(0x44);
const char kPath[] = "\\\\?\\pci#ven_1234&dev_5678#1#{b86cd22a-df71-4e3e-93ba-c56228a4a1dc}";

HDEVINFO WINAPI fake_class_devs(const GUID* guid, PCSTR enumerator, HWND window, DWORD flags) {
    fake->calls.push_back("class_devs");
    EXPECT_EQ(enumerator, nullptr);
    EXPECT_EQ(window, nullptr);
    fake->class_devs_guid = *guid;
    fake->class_devs_flags = flags;
    return fake->class_devs_ok ? kSet : INVALID_HANDLE_VALUE;
}
BOOL WINAPI fake_enum(HDEVINFO set, PSP_DEVINFO_DATA info, const GUID*, DWORD index,
                      PSP_DEVICE_INTERFACE_DATA data) {
    fake->calls.push_back("enum");
    EXPECT_EQ(set, kSet);
    EXPECT_EQ(info, nullptr);
    fake->enum_index = index;
    fake->enum_cb_size = data->cbSize;
    return fake->enum_ok;
}
BOOL WINAPI fake_detail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA,
                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD size, PDWORD required,
                        PSP_DEVINFO_DATA) {
    EXPECT_EQ(set, kSet);
    if (detail == nullptr) {
        fake->calls.push_back("detail_size");
        EXPECT_EQ(size, 0u);
        *required = fake->detail_size;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    fake->calls.push_back("detail");
    fake->detail_cb_size = detail->cbSize;
    fake->detail_buffer_size = size;
    if (!fake->detail_ok) return FALSE;
    std::memcpy(detail->DevicePath, kPath, sizeof kPath);
    return TRUE;
}
BOOL WINAPI fake_destroy(HDEVINFO set) {
    fake->calls.push_back("destroy");
    EXPECT_EQ(set, kSet);
    return TRUE;
}
HANDLE WINAPI fake_create(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD attributes, HANDLE templ) {
    fake->calls.push_back("create");
    fake->opened_path = path;
    fake->access = access;
    fake->share = share;
    fake->disposition = disposition;
    fake->attributes = attributes;
    fake->template_or_security = security != nullptr || templ != nullptr;
    return fake->open_ok ? kHandle : INVALID_HANDLE_VALUE;
}
BOOL WINAPI fake_io(HANDLE handle, DWORD code, LPVOID in, DWORD in_len, LPVOID out, DWORD out_len,
                    LPDWORD returned, LPOVERLAPPED overlapped) {
    fake->calls.push_back("io");
    EXPECT_EQ(handle, kHandle);
    fake->io_code = code;
    fake->io_in = in;
    fake->io_in_len = in_len;
    fake->io_out = out;
    fake->io_out_len = out_len;
    fake->io_overlapped = overlapped != nullptr;
    EXPECT_NE(returned, nullptr);
    if (fake->io_ok && out_len > 0) static_cast<unsigned char*>(out)[0] = 0xA5;
    return fake->io_ok;
}
BOOL WINAPI fake_close(HANDLE handle) {
    fake->calls.push_back("close");
    fake->closed = handle;
    return TRUE;
}

const DeviceApi kFakeApi = {fake_class_devs, fake_enum, fake_detail, fake_destroy,
                            fake_create,     fake_io,   fake_close};

class DeviceWin32Test : public ::testing::Test {
protected:
    void SetUp() override { fake = &system_; }
    void TearDown() override { fake = nullptr; }
    HANDLE open() { return open_device_handle(kFakeApi, to_win32_guid(kDriverInterfaceClass), 0); }
    FakeSystem system_;
};

using Calls = std::vector<std::string>;

TEST_F(DeviceWin32Test, OpensTheFirstInterfaceOfTheDriverClassWithTheExactArguments) {
    ASSERT_EQ(open(), kHandle);
    EXPECT_EQ(system_.calls,
              (Calls{"class_devs", "enum", "detail_size", "detail", "create", "destroy"}));
    EXPECT_EQ(system_.class_devs_flags, 0x12u);
    const GUID expected = {
        0xB86CD22A, 0xDF71, 0x4E3E, {0x93, 0xBA, 0xC5, 0x62, 0x28, 0xA4, 0xA1, 0xDC}};
    EXPECT_EQ(std::memcmp(&system_.class_devs_guid, &expected, sizeof expected), 0);
    EXPECT_EQ(system_.enum_index, 0u);
    // Size fields of the records as this platform's set-up calls require them.
#ifdef _WIN64
    EXPECT_EQ(system_.enum_cb_size, 32u);
    EXPECT_EQ(system_.detail_cb_size, 8u);
#else
    EXPECT_EQ(system_.enum_cb_size, 28u);
    EXPECT_EQ(system_.detail_cb_size, 5u);
#endif
    EXPECT_EQ(system_.detail_buffer_size, 64u);
    EXPECT_EQ(system_.opened_path, kPath);
    EXPECT_EQ(system_.access, 0xC0000000u);
    EXPECT_EQ(system_.share, 3u);
    EXPECT_EQ(system_.disposition, static_cast<DWORD>(OPEN_EXISTING));
    EXPECT_EQ(system_.attributes, 0x80u);
    EXPECT_FALSE(system_.template_or_security);
}

// Each failing step gives no device and releases the set (and nothing more is called).
struct FailureCase {
    const char* name;
    void (*arrange)(FakeSystem&);
    Calls expected_calls;
};

class DeviceWin32FailureTest : public DeviceWin32Test,
                               public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DeviceWin32FailureTest, GivesNoDeviceAndReleasesTheSet) {
    GetParam().arrange(system_);
    EXPECT_EQ(open(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(system_.calls, GetParam().expected_calls);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DeviceWin32FailureTest,
    ::testing::Values(
        FailureCase{"NoDeviceSet", [](FakeSystem& s) { s.class_devs_ok = false; }, {"class_devs"}},
        FailureCase{"NoInterface",
                    [](FakeSystem& s) { s.enum_ok = false; },
                    {"class_devs", "enum", "destroy"}},
        // A reported size smaller than the record's size field is refused before any write.
        FailureCase{"DetailSizeTooSmall",
                    [](FakeSystem& s) { s.detail_size = 2; },
                    {"class_devs", "enum", "detail_size", "destroy"}},
        FailureCase{"DetailRefused",
                    [](FakeSystem& s) { s.detail_ok = false; },
                    {"class_devs", "enum", "detail_size", "detail", "destroy"}},
        FailureCase{"OpenRefused",
                    [](FakeSystem& s) { s.open_ok = false; },
                    {"class_devs", "enum", "detail_size", "detail", "create", "destroy"}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(DeviceWin32Test, SendsEachRequestAsOneSynchronousDeviceIoControlAndClosesAtTheEnd) {
    {
        auto device = make_handle_device(kFakeApi, kHandle);
        unsigned char command[48] = {2};
        ASSERT_TRUE(device->control(0x2223FC, command, 48, command, 48));
        EXPECT_EQ(system_.io_code, 0x2223FCu);
        EXPECT_EQ(system_.io_in, command);
        EXPECT_EQ(system_.io_out, command);
        EXPECT_EQ(system_.io_in_len, 48u);
        EXPECT_EQ(system_.io_out_len, 48u);
        EXPECT_FALSE(system_.io_overlapped);
        EXPECT_EQ(command[0], 0xA5);

        unsigned char block[104] = {};
        uint32_t accepted = 0;
        ASSERT_TRUE(device->control(0x222040, block, 104, &accepted, 4));
        EXPECT_EQ(system_.io_code, 0x222040u);
        EXPECT_EQ(system_.io_in_len, 104u);
        EXPECT_EQ(system_.io_out_len, 4u);

        system_.io_ok = false;
        int32_t board = 1;
        unsigned char record[40];
        EXPECT_FALSE(device->control(0x222028, &board, 4, record, 40));
        EXPECT_EQ(system_.io_code, 0x222028u);
        EXPECT_EQ(system_.closed, nullptr);
    }
    EXPECT_EQ(system_.closed, kHandle);
    EXPECT_EQ(system_.calls, (Calls{"io", "io", "io", "close"}));
}

// On a machine without the boards' driver (as under Wine) there is no interface of the class.
TEST(DeviceWin32System, NoDriverMeansNoDevice) {
    EXPECT_EQ(open_driver_device(kDriverInterfaceClass, 0), nullptr);
    EXPECT_EQ(open_driver_device(kDriverInterfaceClass, -1), nullptr);
}

}  // namespace
}  // namespace dravik::win32
