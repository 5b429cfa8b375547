// Load hook of Dravik.dll: DllMain runs the load step at process attach and the unload step at
// process detach.
//
// The polling thread and the loader lock. DllMain runs under the loader lock, and a thread cannot
// finish (its thread-detach notifications need that lock) while another thread holds it, so the
// unload step must never wait for a live polling thread from DllMain; nor may that thread go on
// running once FreeLibrary has unmapped the DLL's code. Both are ruled out like this:
//   - The polling thread is announced to DllMain by its thread-attach notification: the library
//     marks its monitor as running before creating the thread, and thread creation orders that
//     mark before the new thread's attach. On the first such attach the DLL pins itself in the
//     process (GET_MODULE_HANDLE_EX_FLAG_PIN): from then on FreeLibrary leaves it loaded.
//   - So a detach caused by FreeLibrary only happens while no polling thread was ever started; the
//     unload step then has no thread to wait for.
//   - A pinned DLL is detached only when the process exits. Windows has then already ended every
//     other thread, the polling thread included, so waiting for it returns at once. A thread ended
//     that way may have held the library's lock; the unload step is then skipped (the process is
//     going away and the system closes the device handle), instead of waiting forever.
// Before any polling thread has run, FreeLibrary unloads the DLL completely (every axis stopped,
// device closed), and loading it again opens the device afresh.
#include <windows.h>

#include <exception>

#include "exports/export_support.h"
#include "exports/lifecycle.h"

namespace {

bool g_pinned = false;  // changed only under the loader lock

void pin_if_polling_thread_starts() {
    if (g_pinned) return;
    if (!dravik::the_library().monitor.running()) return;
    HMODULE pinned = nullptr;
    g_pinned = GetModuleHandleExW(
                   GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                   reinterpret_cast<LPCWSTR>(&pin_if_polling_thread_starts), &pinned) != FALSE;
}

void unload_at_process_exit() {
    // Every other thread has been ended by the system. If one of them held the library's lock,
    // that lock is never released: leave the library as it is rather than hang the exit.
    std::recursive_mutex& lock = dravik::the_library().mutex;
    if (!lock.try_lock()) return;
    lock.unlock();
    dravik::unload_library();
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    try {
        switch (reason) {
            case DLL_PROCESS_ATTACH:
                dravik::load_library();
                break;
            case DLL_THREAD_ATTACH:
                pin_if_polling_thread_starts();
                break;
            case DLL_PROCESS_DETACH:
                if (reserved != nullptr) {
                    unload_at_process_exit();
                } else {
                    dravik::unload_library();
                }
                break;
            default:
                break;
        }
    } catch (const std::exception&) {
        // Out of memory while creating the library's tables makes the load fail; nothing else
        // may escape into the loader.
        return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
    }
    return TRUE;
}
