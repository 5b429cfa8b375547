#include "wide_text.h"

#include <windows.h>

namespace dravik::console::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), length);
    return out;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(),
                        length, nullptr, nullptr);
    return out;
}

const std::wstring& program_title() {
    static const std::wstring title = [] {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring name(path, length);
        const size_t slash = name.find_last_of(L"\\/");
        if (slash != std::wstring::npos) name.erase(0, slash + 1);
        const size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos && dot > 0) name.erase(dot);
        return name.empty() ? std::wstring(L"TestDravik") : name;
    }();
    return title;
}

}  // namespace dravik::console::win32
