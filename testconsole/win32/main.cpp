// TestDravik: the bench-test console for Dravik boards (Win32 front end). The program is bound
// to Dravik.dll through its import table; it calls nothing in the library at its end: the
// library's own unloading cleans up.
// clang-format off
#include <windows.h>  // first: the other Windows headers need its types
#include <commctrl.h>
// clang-format on

#include "library_exports.h"
#include "main_dialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The common controls (the list view) and the themed look of dialog controls.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    static const dravik::console::LibraryApi api = dravik::console::library_exports();
    dravik::console::win32::run_main_dialog(api);
    return 0;
}
