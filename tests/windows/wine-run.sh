#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe [ARGS...]
#
# The Wine prefix is $WINEPREFIX when set, otherwise <build>/wineprefix, where <build> is the
# nearest directory at or above the current one holding a CMakeCache.txt (ctest runs each test in
# its build folder). The prefix is created once (wineboot -i, without the Mono and Gecko
# installers) under a lock, so tests started in parallel share it. Wine's debug output is off.
set -euo pipefail

if [ -z "${WINEPREFIX:-}" ]; then
    dir=$PWD
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    if [ "$dir" = / ]; then
        echo "wine-run.sh: no build directory above $PWD; set WINEPREFIX" >&2
        exit 2
    fi
    WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
WINE=${WINE:-wine}

mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.dravik-ready" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        wineserver -w 2>/dev/null || true
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "wine-run.sh: could not create the Wine prefix $WINEPREFIX" >&2
            exit 2
        fi
        touch "$WINEPREFIX/.dravik-ready"
    fi
) 9>"$WINEPREFIX.lock"

exec "$WINE" "$@"
