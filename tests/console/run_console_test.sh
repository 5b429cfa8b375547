#!/usr/bin/env bash
# Checks scripts/run-console.sh in private network and process namespaces (run it under
# `unshare -rn --pid --fork --mount-proc`, so that the only processes it sees are its own):
#   1. without a simulator binary it says so and fails;
#   2. without a display it says so in one line, runs the terminal demonstration and stops the
#      simulator afterwards;
#   3. with a display that cannot be opened it says so in one line and runs the demonstration;
#   4. with a display it opens TestDravik, and a TERM to the script closes the console and stops
#      the simulator (no orphan).
# Usage: run_console_test.sh SCRIPT BUILD_DIR
set -u
script="$1"
build="$2"
sim="$build/sim/dravik-sim"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# 1. No simulator binary.
DRAVIK_BUILD_DIR="$tmp/empty" bash "$script" >"$tmp/out1" 2>"$tmp/err1"
[ $? -ne 0 ] || fail "a missing simulator must fail"
grep -q "dravik-sim is missing" "$tmp/err1" || fail "no clear message for a missing simulator: $(cat "$tmp/err1")"

# 2. Headless: the terminal demonstration.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DRAVIK_BUILD_DIR="$build" \
    bash "$script" >"$tmp/out2" 2>"$tmp/err2"
status=$?
[ $status -eq 0 ] || fail "headless run ended with $status: $(cat "$tmp/out2" "$tmp/err2")"
[ "$(grep -c 'no display' "$tmp/err2")" -eq 1 ] || fail "headless run must say so in one line: $(cat "$tmp/err2")"
grep -q "both axes reached their targets" "$tmp/out2" || fail "demonstration did not move the axes: $(cat "$tmp/out2")"
grep -q "Traceback\|terminate called\|Aborted" "$tmp/out2" "$tmp/err2" && fail "a crash in the headless run"
"$sim" ctl boards >/dev/null 2>&1 && fail "the simulator still answers after the headless run"

# 3. A display that cannot be opened.
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=":31999" DRAVIK_BUILD_DIR="$build" \
    bash "$script" >"$tmp/out4" 2>"$tmp/err4"
status=$?
if [ -x "$build/testconsole/qt/TestDravik" ]; then
    [ $status -eq 0 ] || fail "run with an unusable display ended with $status: $(cat "$tmp/out4" "$tmp/err4")"
    [ "$(grep -c 'cannot be opened' "$tmp/err4")" -eq 1 ] || fail "an unusable display must be reported in one line: $(cat "$tmp/err4")"
    grep -q "both axes reached their targets" "$tmp/out4" || fail "no demonstration after an unusable display"
fi
"$sim" ctl boards >/dev/null 2>&1 && fail "the simulator still answers after the run with an unusable display"

# 4. With a display (the offscreen platform stands in for one): TestDravik waits in its first
#    start-up message; a TERM to the script must end the console and the simulator.
if [ -x "$build/testconsole/qt/TestDravik" ]; then
    DISPLAY=":none" QT_QPA_PLATFORM=offscreen DRAVIK_BUILD_DIR="$build" \
        bash "$script" >"$tmp/out3" 2>"$tmp/err3" &
    script_pid=$!
    ready=0
    for _ in $(seq 1 100); do
        if "$sim" ctl boards >/dev/null 2>&1; then ready=1; break; fi
        sleep 0.05
    done
    [ $ready -eq 1 ] || fail "the simulator never answered with a display"
    sleep 0.5
    # The process namespace holds only this test's processes.
    ours() { cat /proc/[0-9]*/comm 2>/dev/null; }
    ours | grep -qx TestDravik || fail "TestDravik was not started: $(cat "$tmp/err3")"
    kill -TERM "$script_pid"
    wait "$script_pid"
    sleep 0.2
    left="$(ours | grep -E '^(TestDravik|dravik-sim)$' | tr '\n' ' ')"
    [ -z "$left" ] || fail "left running after the script ended: $left"
    "$sim" ctl boards >/dev/null 2>&1 && fail "the simulator still answers after the console closed"
fi

[ $failures -eq 0 ] && echo "run-console: all checks passed"
exit $failures
