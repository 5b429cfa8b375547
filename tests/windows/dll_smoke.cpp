// Dravik.dll on a machine without the boards' driver (as under Wine): it loads, binds by name and
// by the fixed ordinals, reports the missing device, and unloads and loads again cleanly.
// Prints one line per failed check and a closing "N passed, N failed" line; exit code 1 on failure.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <thread>

#include "checks.h"

namespace {

dravik::test::Checks check;

using IntFn = int (*)();
using GetErrFn = int (*)(int, int*);
using DllInfoFn = int (*)(int, double*);
using BoardInfoFn = int (*)(int, int32_t*);
using CounterFn = int (*)(int);
using AccelFn = int (*)(int, double);

// FARPROC to the call's real type (through void*: the types are unrelated on purpose).
template <typename Fn>
Fn as(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

FARPROC by_ordinal(HMODULE dll, WORD ordinal) {
    return GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));
}

void check_binding(HMODULE dll) {
    struct Fixed {
        WORD ordinal;
        const char* name;
    };
    const Fixed fixed[] = {{1000, "auto_set"},     {1100, "con_pmove"},   {1200, "sudden_stop"},
                           {1300, "set_abs_pos"},  {1400, "get_abs_pos"}, {1500, "checkin_byte"},
                           {1600, "set_backlash"}, {1700, "write_reg"},   {1800, "set_getpos_mode"},
                           {1900, "get_err"}};
    for (const Fixed& f : fixed) {
        FARPROC by_number = by_ordinal(dll, f.ordinal);
        check(by_number != nullptr && by_number == GetProcAddress(dll, f.name), f.name);
    }
    // Ordinals between the fixed ones: 1001..1103 are used (1100 is con_pmove), 1104 is not.
    check(by_ordinal(dll, 1001) == GetProcAddress(dll, "init_board"), "1001 is init_board");
    check(by_ordinal(dll, 1103) == GetProcAddress(dll, "Inport"), "1103 is Inport");
    check(by_ordinal(dll, 1104) == nullptr, "no export on 1104");
    check(by_ordinal(dll, 999) == nullptr, "no export below 1000");

    // Four calls are exported under decorated names only.
    const char* decorated[][2] = {{"?DmcGetBoardDBInfo@@YAHHPEAJ@Z", "DmcGetBoardDBInfo"},
                                  {"?DmcGetDllInfo@@YAHHPEAN@Z", "DmcGetDllInfo"},
                                  {"?set_cmd_counter@@YAHH@Z", "set_cmd_counter"},
                                  {"_change_accel@12", "change_accel"}};
    for (auto& d : decorated) {
        check(GetProcAddress(dll, d[0]) != nullptr, d[0]);
        check(GetProcAddress(dll, d[1]) == nullptr, d[1]);
    }
}

void check_without_driver(HMODULE dll) {
    auto auto_set = as<IntFn>(by_ordinal(dll, 1000));
    auto get_last_err = as<IntFn>(GetProcAddress(dll, "get_last_err"));
    auto get_err = as<GetErrFn>(by_ordinal(dll, 1900));
    auto init_board = as<IntFn>(GetProcAddress(dll, "init_board"));
    auto dll_info = as<DllInfoFn>(GetProcAddress(dll, "?DmcGetDllInfo@@YAHHPEAN@Z"));
    auto board_info = as<BoardInfoFn>(GetProcAddress(dll, "?DmcGetBoardDBInfo@@YAHHPEAJ@Z"));
    auto set_counter = as<CounterFn>(GetProcAddress(dll, "?set_cmd_counter@@YAHH@Z"));
    auto get_counter = as<IntFn>(GetProcAddress(dll, "get_cmd_counter"));
    auto change_accel = as<AccelFn>(GetProcAddress(dll, "_change_accel@12"));
    if (!auto_set || !get_last_err || !get_err || !init_board || !dll_info || !board_info ||
        !set_counter || !get_counter || !change_accel) {
        check(false, "every call used below resolves");
        return;
    }

    check(get_last_err() == 0, "no error recorded right after loading");
    check(auto_set() == -1, "auto_set returns -1 without the driver");
    check(get_last_err() == 5, "LastError is 5 (no device)");
    int code = 0;
    check(get_err(1, &code) == 0 && code == 5, "get_err(1) reads error 5");

    int32_t record[10] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    check(board_info(1, record) == -1 && record[0] == 7, "DmcGetBoardDBInfo fails untouched");
    double info[10] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    check(dll_info(0, info) == 0 && info[0] == 0.0 && info[9] == 0.0, "DmcGetDllInfo gives zeros");
    check(set_counter(-5) == 0 && get_counter() == -5,
          "set_cmd_counter through its decorated name");
    check(change_accel(1, 1000.0) == -1, "change_accel refused before init_board");
    check(init_board() < 0, "init_board fails without the driver");
}

HMODULE load() { return LoadLibraryW(L"Dravik.dll"); }

}  // namespace

int main() {
    HMODULE dll = load();
    check(dll != nullptr, "Dravik.dll loads without the driver");
    if (dll == nullptr) {
        return check.finish("dll_smoke");
    }
    check_binding(dll);
    check_without_driver(dll);

    // Threads of the application attach to the DLL; they must not keep it from unloading.
    auto get_last_err = as<IntFn>(GetProcAddress(dll, "get_last_err"));
    int seen = -1;
    std::thread([&] { seen = get_last_err(); }).join();
    check(seen != -1, "calls from another thread");

    check(FreeLibrary(dll) != FALSE, "FreeLibrary");
    check(GetModuleHandleW(L"Dravik.dll") == nullptr, "the DLL is unloaded by FreeLibrary");

    // Loading again starts from a fresh library: no error recorded, the counter back at 0.
    dll = load();
    check(dll != nullptr, "Dravik.dll loads a second time");
    if (dll != nullptr) {
        auto fresh_err = as<IntFn>(GetProcAddress(dll, "get_last_err"));
        auto counter = as<IntFn>(GetProcAddress(dll, "get_cmd_counter"));
        check(fresh_err && fresh_err() == 0, "no error recorded after reloading");
        check(counter && counter() == 0, "command counter 0 after reloading");
        check_without_driver(dll);
        // Left loaded: the unload at process exit runs too.
    }
    return check.finish("dll_smoke");
}
