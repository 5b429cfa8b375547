// Drives TestDravik.exe through window messages on a machine without the boards' driver (under
// Wine and Xvfb in CI): the start-up messages, the main dialog with its 79 catalogue rows, a run
// of row 0, both variants of the board information, and the exit. Saves a screenshot of the main
// dialog as PNG.
//
//   console_driver.exe PATH\TestDravik.exe SCREENSHOT.png
//
// Prints one line per failed check and a closing "N passed, N failed" line; exit code 1 on failure.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <string>
#include <vector>

#include "checks.h"
#include "png_writer.h"

namespace {

dravik::test::Checks check;

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

void check_text(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
    check(actual == expected,
          what + ": got \"" + utf8(actual) + "\", expected \"" + utf8(expected) + "\"");
}

std::wstring window_text(HWND window) {
    wchar_t buffer[2048] = {};
    // WM_GETTEXT is marshalled between processes by the system.
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return buffer;
}

std::wstring class_name(HWND window) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return buffer;
}

// The program's visible dialog-class windows (message boxes and dialogs are "#32770").
struct Search {
    DWORD process;
    std::vector<HWND> found;
};

std::vector<HWND> dialogs_of(DWORD process) {
    Search search{process, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->process && IsWindowVisible(window) && class_name(window) == L"#32770")
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits until the program shows a dialog with the caption `caption`; nullptr after 60 s.
HWND wait_for_dialog(DWORD process, const std::wstring& caption) {
    for (int i = 0; i < 600; ++i) {
        for (HWND window : dialogs_of(process))
            if (window_text(window) == caption) return window;
        Sleep(100);
    }
    return nullptr;
}

// Waits until `window` is gone; false after 30 s.
bool wait_gone(HWND window) {
    for (int i = 0; i < 300 && IsWindow(window) && IsWindowVisible(window); ++i) Sleep(100);
    return !IsWindow(window) || !IsWindowVisible(window);
}

void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A message box of the program: checks its caption and text, then closes it with its OK button.
// The visible main dialog of the program (caption "TestDravik" and list 1005), or nullptr.
HWND visible_main_dialog(DWORD process) {
    for (HWND window : dialogs_of(process))
        if (window_text(window) == L"TestDravik" && GetDlgItem(window, 1005) != nullptr)
            return window;
    return nullptr;
}

void expect_message(DWORD process, const std::wstring& text, const std::string& what,
                    bool main_dialog_hidden = false) {
    HWND box = wait_for_dialog(process, L"TestDravik");
    // The main dialog has the same caption: a message box has no list control.
    for (int i = 0; i < 600 && box != nullptr && GetDlgItem(box, 1005) != nullptr; ++i) {
        Sleep(100);
        box = nullptr;
        for (HWND window : dialogs_of(process))
            if (window_text(window) == L"TestDravik" && GetDlgItem(window, 1005) == nullptr)
                box = window;
    }
    check(box != nullptr, what + ": message box shown");
    if (box == nullptr) return;
    if (main_dialog_hidden)
        check(visible_main_dialog(process) == nullptr, what + ": shown before the main dialog");
    check_text(window_text(GetDlgItem(box, 0xFFFF)), text, what);
    press(box, IDOK);
    check(wait_gone(box), what + ": message box closed by OK");
}

// Cross-process list view access: the request block lives in the program's memory.
class RemoteList {
public:
    RemoteList(HANDLE process, HWND list) : process_(process), list_(list) {
        memory_ = VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteList() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    }
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;

    std::wstring cell(int row, int column) {
        if (memory_ == nullptr) return L"<no memory>";
        auto* base = static_cast<char*>(memory_);
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(base + sizeof(LVITEMW));
        item.cchTextMax = 512;
        WriteProcessMemory(process_, base, &item, sizeof item, nullptr);
        SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(base));
        wchar_t text[512] = {};
        ReadProcessMemory(process_, base + sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t),
                          nullptr);
        return text;
    }

    // Centre of the prototype cell of `row`, in the list's client coordinates.
    POINT row_centre(int row) {
        RECT r{LVIR_LABEL, 0, 0, 0};
        if (memory_ != nullptr) {
            WriteProcessMemory(process_, memory_, &r, sizeof r, nullptr);
            SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(memory_));
            ReadProcessMemory(process_, memory_, &r, sizeof r, nullptr);
        }
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    std::wstring column_title(int column) {
        if (memory_ == nullptr) return L"<no memory>";
        auto* base = static_cast<char*>(memory_);
        LVCOLUMNW spec{};
        spec.mask = LVCF_TEXT | LVCF_WIDTH;
        spec.pszText = reinterpret_cast<wchar_t*>(base + sizeof(LVCOLUMNW));
        spec.cchTextMax = 64;
        WriteProcessMemory(process_, base, &spec, sizeof spec, nullptr);
        SendMessageW(list_, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(base));
        wchar_t text[64] = {};
        ReadProcessMemory(process_, base + sizeof(LVCOLUMNW), text, sizeof text - sizeof(wchar_t),
                          nullptr);
        return text;
    }

private:
    HANDLE process_;
    HWND list_;
    void* memory_ = nullptr;
};

void check_catalogue(HANDLE process, HWND dialog) {
    HWND list = GetDlgItem(dialog, 1005);
    check(list != nullptr && class_name(list) == L"SysListView32", "list view 1005");
    if (list == nullptr) return;
    const LRESULT rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    check(rows == 79, "catalogue has 79 rows (" + std::to_string(rows) + ")");
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    check(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) == 8, "eight columns");
    check(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0, "no row selected at start");
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    const LONG_PTR wanted = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOLABELWRAP |
                            LVS_EDITLABELS | WS_TABSTOP;
    // The dialog manager turns a control's WS_BORDER into a sunken client edge (3-D look).
    check(
        (style & WS_BORDER) != 0 || (GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0,
        "list view border");
    char styles[64];
    std::snprintf(styles, sizeof styles, "list view styles: %#llx, expected %#llx set",
                  static_cast<unsigned long long>(style), static_cast<unsigned long long>(wanted));
    check((style & wanted) == wanted, styles);

    RemoteList remote(process, list);
    check_text(remote.column_title(0), L"函数", "column 0 title");
    check_text(remote.column_title(7), L"参数7", "column 7 title");
    check_text(remote.cell(0, 0), L"get_max_axe()", "row 0");
    check_text(remote.cell(49, 0), L"set_alm_logci(int ch,int flag)", "row 49");
    check_text(remote.cell(78, 0),
               L"get_card_ver(long cardno,long *type,long* major,long *minor1,long *minor2)",
               "row 78");
    check_text(remote.cell(5, 1), L"", "parameter cells start empty");
}

// Mouse clicks on the list: the list view itself turns them into its click notifications.
void click_row(HWND list, POINT at, bool twice) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(list, WM_LBUTTONUP, 0, where);
    if (twice) {
        PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
        PostMessageW(list, WM_LBUTTONUP, 0, where);
    }
}

// A click selects row 1 for "运行"; a double-click on row 2 opens the parameter dialog, whose
// "确认" writes the typed text into the row's cell and its value into P1.
void check_row_editing(HANDLE process, DWORD pid, HWND dialog) {
    HWND list = GetDlgItem(dialog, 1005);
    RemoteList remote(process, list);

    click_row(list, remote.row_centre(1), false);
    Sleep(300);
    press(dialog, 1006);
    expect_message(pid, L"板卡数--0", "row 1 run after a click on it");

    click_row(list, remote.row_centre(2), true);
    HWND parameters = wait_for_dialog(pid, L"参数设置");
    check(parameters != nullptr, "a double-click opens the parameter dialog");
    if (parameters == nullptr) return;
    check_text(window_text(GetDlgItem(parameters, 1011)), L"",
               "field 1 preset from the empty cell");
    SendMessageTimeoutW(GetDlgItem(parameters, 1011), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3"),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    SendMessageTimeoutW(GetDlgItem(parameters, 1012), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(L"abc"), SMTO_ABORTIFHUNG, 5000, nullptr);
    press(parameters, IDOK);
    check(wait_gone(parameters), "确认 closes the parameter dialog");
    check_text(remote.cell(2, 1), L"3", "cell 1 of row 2 after 确认");
    check_text(remote.cell(2, 2), L"abc", "cell 2 of row 2 after 确认");
    press(dialog, 1006);
    expect_message(pid, L"板卡 3 轴数---1", "row 2 run with P1 = 3 from the dialog");
}

void check_frame(HWND dialog) {
    check((GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0, "shown in the task bar");
    const struct {
        int id;
        const wchar_t* text;
    } buttons[] = {{IDCANCEL, L"退出"}, {1006, L"运行"}, {1007, L"缓停"}, {1008, L"急停"}};
    for (const auto& b : buttons)
        check_text(window_text(GetDlgItem(dialog, b.id)), b.text, "button " + std::to_string(b.id));
    check((GetWindowLongPtrW(GetDlgItem(dialog, 1006), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON,
          "运行 is the default button");
    // (The window icons are not checked here: Wine answers WM_GETICON from another process with
    // no icon. The screenshot shows the icon in the caption.)
}

void check_board_info(DWORD process, HWND dialog, WPARAM message, WPARAM command,
                      const std::wstring& expected, const std::string& what) {
    PostMessageW(dialog, static_cast<UINT>(message), command, 0);
    HWND about = wait_for_dialog(process, L"关于 TestDravik");
    check(about != nullptr, what + ": about box shown");
    if (about == nullptr) return;
    check_text(window_text(GetDlgItem(about, 1012)), expected, what);
    press(about, IDOK);
    check(wait_gone(about), what + ": about box closed");
}

bool screenshot(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    const auto* bgra = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        rgb[i * 3] = bgra[i * 4 + 2];
        rgb[i * 3 + 1] = bgra[i * 4 + 1];
        rgb[i * 3 + 2] = bgra[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return dravik::test::write_png(path, width, height, rgb);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: console_driver PATH\\TestDravik.exe SCREENSHOT.png\n");
        return 2;
    }
    std::string command = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program{};
    if (!CreateProcessA(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &program)) {
        check(false, std::string("cannot start ") + argv[1]);
        return check.finish("console_ui");
    }
    const DWORD pid = program.dwProcessId;

    // Start-up without the driver: auto_set gives -1, init_board then fails.
    expect_message(pid, L"检测不到卡!", "first start-up message", true);
    expect_message(pid, L"初始化错误!", "second start-up message", true);

    HWND dialog = nullptr;
    for (int i = 0; i < 600 && dialog == nullptr; ++i) {
        dialog = visible_main_dialog(pid);
        if (dialog == nullptr) Sleep(100);
    }
    check(dialog != nullptr, "main dialog opens");
    if (dialog != nullptr) {
        check_frame(dialog);
        check_catalogue(program.hProcess, dialog);

        Sleep(500);  // let the dialog finish painting
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(500);
        check(screenshot(dialog, argv[2]), std::string("screenshot saved to ") + argv[2]);

        // "运行" before any click runs row 0: the number of axes (none found).
        press(dialog, 1006);
        expect_message(pid, L"板卡总轴数--0", "row 0 run");
        check_row_editing(program.hProcess, pid, dialog);

        // Board information: the system-menu variant shows -1 for every number when no board
        // was found; the menu variant asks the library (library version 3.0.1).
        const std::wstring head = L"计算机内插有 -1 张板卡。共有 -1 根轴。\r\n";
        check_board_info(pid, dialog, WM_SYSCOMMAND, 16,
                         head +
                             L"板卡类型号     ：-1\r\n函数库版本号   ：-1.-1.-1\r\n"
                             L"驱动程序版本号 ：-1.-1.-1\r\n硬件版本号     ：-1.-1.-1\r\n",
                         "board information (system menu)");
        PostMessageW(dialog, WM_COMMAND, 1012, 0);
        HWND about = wait_for_dialog(pid, L"关于 TestDravik");
        check(about != nullptr, "board information (menu): about box shown");
        if (about != nullptr) {
            const std::wstring text = window_text(GetDlgItem(about, 1012));
            check(text.rfind(head, 0) == 0, "board information (menu) first line: " + utf8(text));
            check(text.find(L"函数库版本号   ：3.0.1\r\n") != std::wstring::npos,
                  "board information (menu) library version: " + utf8(text));
            press(about, IDOK);
            check(wait_gone(about), "board information (menu): about box closed");
        }

        // The menu's "退出" closes the dialog and ends the program.
        PostMessageW(dialog, WM_COMMAND, 32771, 0);
    }
    const bool ended = WaitForSingleObject(program.hProcess, 30000) == WAIT_OBJECT_0;
    check(ended, "the program ends when its dialog is closed");
    if (!ended) TerminateProcess(program.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(program.hProcess, &code);
    check(code == 0, "exit code 0");
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);

    return check.finish("console_ui");
}
