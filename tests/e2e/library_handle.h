// The built libdravik loaded with dlopen, so that it connects to the device socket when the test
// chooses (the library opens its device when it is loaded), and unloaded with dlclose, which runs
// its unload step. Functions are resolved by their exported names.
#pragma once

#include <dlfcn.h>

#include <string>

#include "dravik/dravik.h"

namespace dravik::e2e {

#define DRAVIK_E2E_FUNCTIONS(X)                                                                  \
    X(auto_set) X(init_board) X(get_max_axe) X(get_board_num) X(get_sys_ver) X(get_card_ver)    \
    X(check_IC) X(DmcGetBoardDBInfo) X(get_last_err) X(set_maxspeed) X(set_profile)              \
    X(set_conspeed) X(set_vector_conspeed) X(fast_pmove2) X(fast_pmove) X(con_pmove)             \
    X(con_line2) X(fast_vmove) X(con_vmove) X(con_hmove) X(decel_stop) X(sudden_stop)            \
    X(check_done) X(check_home) X(check_limit) X(get_abs_pos) X(get_rel_pos) X(change_pos)       \
    X(outport_byte) X(outport_bit) X(checkin_byte) X(checkin_bit) X(check_SFR) X(Outport)        \
    X(Inport) X(get_cmd_counter)

class LibraryHandle {
public:
#define DRAVIK_E2E_MEMBER(name) decltype(&::name) name = nullptr;
    DRAVIK_E2E_FUNCTIONS(DRAVIK_E2E_MEMBER)
#undef DRAVIK_E2E_MEMBER

    ~LibraryHandle() { close(); }

    // Loads the library; false with a message when it or one of its functions is missing.
    bool open(const char* path, std::string& error) {
        handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            error = dlerror();
            return false;
        }
#define DRAVIK_E2E_RESOLVE(fn)                                              \
    fn = reinterpret_cast<decltype(fn)>(dlsym(handle_, #fn));               \
    if (fn == nullptr) {                                                    \
        error = "missing export " #fn;                                      \
        return false;                                                       \
    }
        DRAVIK_E2E_FUNCTIONS(DRAVIK_E2E_RESOLVE)
#undef DRAVIK_E2E_RESOLVE
        return true;
    }

    // Unloads the library, which runs its unload step (library_still_loaded() tells whether it
    // really left the process).
    void close() {
        if (handle_ == nullptr) return;
        dlclose(handle_);
        handle_ = nullptr;
    }

private:
    void* handle_ = nullptr;
};

// True when the library at `path` is still mapped in the process.
inline bool library_still_loaded(const char* path) {
    void* h = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (h == nullptr) return false;
    dlclose(h);
    return true;
}

}  // namespace dravik::e2e
