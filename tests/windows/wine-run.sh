#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe [ARGS...]
#
# The Wine prefix is $WINEPREFIX when set, otherwise <build>/wineprefix, where <build> is the
# nearest directory at or above the current one holding a CMakeCache.txt (ctest runs each test in
# its build folder). The prefix is created once (wineboot -i, without the Mono and Gecko
# installers) under a lock, so tests started in parallel share it. Wine's debug output is off.
#
# The prefix is set up for the console's dialogs: Wine draws window captions itself (Xvfb has no
# window manager), and the Chinese dialog font and Wine's interface fonts fall back to
# WenQuanYi Micro Hei (fonts-wqy-microhei), since no Windows font is installed.
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

configure_prefix() {
    local cjk="WenQuanYi Micro Hei"
    local nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
    for face in 宋体 SimSun; do
        LC_ALL=C.UTF-8 "$WINE" reg add "$nt\FontSubstitutes" /v "$face" /d "$cjk" /f
    done
    for face in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" System; do
        "$WINE" reg add "$nt\FontLink\SystemLink" /v "$face" /t REG_MULTI_SZ \
            /d "wqy-microhei.ttc,$cjk" /f
    done
}

mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.dravik-ready" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        configure_prefix >/dev/null 2>&1 || true
        wineserver -w 2>/dev/null || true
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "wine-run.sh: could not create the Wine prefix $WINEPREFIX" >&2
            exit 2
        fi
        touch "$WINEPREFIX/.dravik-ready"
    fi
) 9>"$WINEPREFIX.lock"

exec "$WINE" "$@"
