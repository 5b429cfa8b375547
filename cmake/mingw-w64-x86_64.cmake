# Cross build for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64).
#
# The POSIX thread model compilers are used: GCC 12's win32 thread model has no std::thread.
# Every program and DLL is linked with the GCC runtime, libstdc++ and winpthread statically, so
# Dravik.dll and TestDravik.exe need no MinGW DLL beside them (only system DLLs).
# Programs built here run under Wine through tests/windows/wine-run.sh, so `ctest` works as usual.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRAVIK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DRAVIK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRAVIK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DRAVIK_MINGW_TRIPLET}-windres)
set(CMAKE_DLLTOOL ${DRAVIK_MINGW_TRIPLET}-dlltool CACHE FILEPATH "dlltool of the cross toolchain")
set(CMAKE_OBJDUMP ${DRAVIK_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump of the cross toolchain")

set(CMAKE_FIND_ROOT_PATH /usr/${DRAVIK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 reports false -Wrestrict warnings inside libstdc++'s std::string at -O3 (GCC bug
# 105329); the native builds keep the warning, the Release cross build leaves it out.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# -static makes the linker take libwinpthread.a (and the static GCC and C++ runtimes) for the DLL
# and the programs alike.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Run cross-built programs (tests) under Wine, in one prefix kept in the build directory.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
