// The polling thread and the DLL's lifetime, with the real load hook (see polling_probe.cpp):
//   - FreeLibrary unloads the DLL completely while no polling thread was started;
//   - once one was started, FreeLibrary leaves the DLL loaded (no wait for the thread under the
//     loader lock, no thread running in unmapped code): the thread goes on polling safely;
//   - the process then ends without hanging (ctest's timeout would catch a hang).
// Prints a closing "N passed, N failed" line; exit code 1 on failure.
#include <windows.h>

#include "checks.h"

namespace {

dravik::test::Checks check;

using ProbeFn = int (*)();
const wchar_t kProbe[] = L"dravik_polling_probe.dll";

ProbeFn probe(HMODULE dll, const char* name) {
    return reinterpret_cast<ProbeFn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

}  // namespace

int main() {
    HMODULE dll = LoadLibraryW(kProbe);
    check(dll != nullptr, "the probe DLL loads");
    if (dll == nullptr) {
        return check.finish("dll_pinning");
    }
    check(FreeLibrary(dll) != FALSE && GetModuleHandleW(kProbe) == nullptr,
          "without a polling thread FreeLibrary unloads the DLL");

    dll = LoadLibraryW(kProbe);
    ProbeFn start = probe(dll, "probe_start_polling");
    ProbeFn polling = probe(dll, "probe_polling");
    check(start != nullptr && polling != nullptr, "probes found");
    if (start == nullptr || polling == nullptr) return check.finish("dll_pinning");
    check(start() == 1, "the polling thread starts");
    Sleep(20);
    check(polling() == 1, "the thread polls (its axis never comes to rest)");

    check(FreeLibrary(dll) != FALSE, "FreeLibrary returns while the thread runs");
    check(GetModuleHandleW(kProbe) == dll, "the DLL stays loaded: it pinned itself");
    Sleep(20);
    check(polling() == 1, "the thread still runs in mapped code");

    return check.finish("dll_pinning");  // the process ends with the thread still polling
}
