#!/usr/bin/env bash
# Windows suite: cross-builds Dravik.dll, TestDravik.exe and the tests with MinGW-w64 and runs
# them under Wine, headless under Xvfb: the library's unit tests, the SetupAPI backend tests, the
# export and import tables, the DLL without a driver, and TestDravik driven through its windows.
#
# By default it uses the "mingw" presets (build/mingw). DRAVIK_MINGW_BUILD_DIR=<dir> builds in
# another folder with the same settings. One Wine prefix, <build>/wineprefix, is created on first
# use and reused afterwards. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${DRAVIK_MINGW_BUILD_DIR:-}
if [ -z "$build" ]; then
    cmake --preset mingw
    cmake --build --preset mingw
    build=build/mingw
    run_tests=(ctest --preset mingw)
else
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake"
    cmake --build "$build" -j2
    run_tests=(ctest --test-dir "$build" -j2 --timeout 600 --output-on-failure)
fi

export WINEPREFIX=$PWD/$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# End any Wine processes left from an earlier run of this prefix: a wineserver that outlived its
# X display would take the new run's windows to a display that is gone.
wineserver -k 2>/dev/null || true

# Everything runs inside one Xvfb session, the creation of the prefix included, so that every
# Wine process (the desktop process that Wine starts on first use among them) sees the same
# display. The prefix is created before the tests start (the first start of Wine takes a while).
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    bash tests/windows/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true
    status=0
    "$@" || status=$?
    # End this prefix'"'"'s Wine processes (wineserver and the services it started).
    wineserver -k 2>/dev/null || true
    exit "$status"
' run-tests "${run_tests[@]}"
