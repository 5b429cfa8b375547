#!/usr/bin/env bash
# Windows suite: cross-builds Dravik.dll, TestDravik.exe and the tests with MinGW-w64 (preset
# "mingw", build/mingw) and runs them under Wine, headless under Xvfb.
#
# One Wine prefix, build/mingw/wineprefix, is created on first use and reused afterwards
# (tests/windows/wine-run.sh creates it under a lock). Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/mingw
export WINEPREFIX=$PWD/$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

cmake --preset mingw
cmake --build --preset mingw

# Create the prefix before the tests start (the first start of Wine takes a while).
mkdir -p "$build"
bash tests/windows/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true

status=0
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset mingw || status=$?
# End this prefix's Wine processes (wineserver and the services it started).
wineserver -k 2>/dev/null || true
exit "$status"
