#include "main_dialog.h"

// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
#include <commctrl.h>
// clang-format on

#include <memory>

#include "console.h"
#include "function_list.h"
#include "resource.h"
#include "win32_view.h"

namespace dravik::console::win32 {
namespace {

struct MainDialog {
    explicit MainDialog(const LibraryApi& library) : api(library) {}
    const LibraryApi& api;
    HICON icon_large = nullptr;
    HICON icon_small = nullptr;
    std::unique_ptr<FunctionList> list;
    std::unique_ptr<Win32View> view;
    std::unique_ptr<Console> console;
};

MainDialog* state_of(HWND dialog) {
    return reinterpret_cast<MainDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void add_about_item(HWND dialog) {
    wchar_t text[128] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 128) <= 0) return;
    HMENU system_menu = GetSystemMenu(dialog, FALSE);
    if (system_menu == nullptr) return;
    AppendMenuW(system_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system_menu, MF_STRING, IDM_ABOUTBOX, text);
}

BOOL on_init(HWND dialog, MainDialog& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    state.list = std::make_unique<FunctionList>(GetDlgItem(dialog, IDC_FUNCTION_LIST));
    state.view = std::make_unique<Win32View>(dialog, *state.list);
    state.console = std::make_unique<Console>(state.api, *state.view);

    add_about_item(dialog);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(state.icon_large));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.icon_small));

    // The dialog is still hidden here: the start-up messages come before it appears.
    state.console->start_up();
    state.list->build();
    return TRUE;  // focus on the first tab stop, the "退出" button
}

void paint_minimised(HWND dialog, const MainDialog& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    RECT client;
    GetClientRect(dialog, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, state.icon_large);
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK main_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) return on_init(dialog, *reinterpret_cast<MainDialog*>(lparam));
    MainDialog* state = state_of(dialog);
    if (state == nullptr || !state->console) return FALSE;
    Console& console = *state->console;

    switch (message) {
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == IDM_ABOUTBOX) {
                console.show_board_info(BoardInfoSource::AboutItem);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_RUN:
                    console.run();
                    return TRUE;
                case IDC_DECEL_STOP:
                    console.decelerate_all();
                    return TRUE;
                case IDC_SUDDEN_STOP:
                    console.stop_all_now();
                    return TRUE;
                case IDC_BOARD_INFO:
                    console.show_board_info(BoardInfoSource::Menu);
                    return TRUE;
                case ID_FILE_QUIT:
                    SendMessageW(dialog, WM_CLOSE, 0, 0);
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    EndDialog(dialog, LOWORD(wparam));
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->idFrom != IDC_FUNCTION_LIST) return FALSE;
            if (header->code == NM_CLICK) {
                console.click(state->list->first_selected());
            } else if (header->code == NM_DBLCLK) {
                console.double_click(state->list->first_selected());
            } else {
                return FALSE;  // in-place label edits are not kept: the text reverts
            }
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        case WM_PAINT:
            if (IsIconic(dialog)) {
                paint_minimised(dialog, *state);
                return TRUE;
            }
            return FALSE;
        case WM_QUERYDRAGICON:
            // One of the messages whose result is the dialog procedure's own return value.
            return reinterpret_cast<INT_PTR>(state->icon_large);
        default:
            return FALSE;
    }
}

HICON load_icon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

void run_main_dialog(const LibraryApi& api) {
    MainDialog state(api);
    state.icon_large = load_icon(GetSystemMetrics(SM_CXICON));
    state.icon_small = load_icon(GetSystemMetrics(SM_CXSMICON));
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TESTDRAVIK_DIALOG), nullptr,
                    main_proc, reinterpret_cast<LPARAM>(&state));
    DestroyIcon(state.icon_large);
    DestroyIcon(state.icon_small);
}

}  // namespace dravik::console::win32
