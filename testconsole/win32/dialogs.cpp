#include "dialogs.h"

#include <string>
#include <vector>

#include "resource.h"
#include "wide_text.h"

namespace dravik::console::win32 {
namespace {

struct ParameterState {
    ParameterTexts fields;
};

std::string field_text(HWND dialog, int id) {
    HWND edit = GetDlgItem(dialog, id);
    std::vector<wchar_t> buffer(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1);
    const int length = GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size()));
    return narrow(std::wstring_view(buffer.data(), static_cast<size_t>(length)));
}

INT_PTR CALLBACK parameter_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lparam);
            const auto* state = reinterpret_cast<const ParameterState*>(lparam);
            for (int n = 0; n < 7; ++n)
                SetDlgItemTextW(dialog, IDC_FIELD_FIRST + n, widen(state->fields[n]).c_str());
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                auto* state =
                    reinterpret_cast<ParameterState*>(GetWindowLongPtrW(dialog, DWLP_USER));
                for (int n = 0; n < 7; ++n)
                    state->fields[n] = field_text(dialog, IDC_FIELD_FIRST + n);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

INT_PTR CALLBACK about_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextW(dialog, IDC_BOARD_INFO, reinterpret_cast<const wchar_t*>(lparam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wparam));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

std::optional<ParameterTexts> run_parameter_dialog(HWND owner, const ParameterTexts& preset) {
    ParameterState state{preset};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PARAMETERS), owner,
                        parameter_proc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return state.fields;
}

void run_about_box(HWND owner, std::string_view board_info) {
    // The static control breaks lines at CR LF.
    std::wstring text;
    for (wchar_t c : widen(board_info)) {
        if (c == L'\n') text += L'\r';
        text += c;
    }
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, about_proc,
                    reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace dravik::console::win32
