#!/usr/bin/env bash
# Opens the TestDravik console against a simulator with two 4-axis boards (what `make run` calls,
# after installing what is missing and building). The simulator is stopped when the console
# closes. Without a display the terminal demonstration of dravik-bench runs instead.
#
# DRAVIK_BUILD_DIR selects the build to use (default: build/default).
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${DRAVIK_BUILD_DIR:-$root/build/default}"
sim="$build/sim/dravik-sim"
console="$build/testconsole/qt/TestDravik"
bench="$build/testconsole/cli/dravik-bench"
sim_log="$build/dravik-sim.log"
console_log="$build/testdravik.log"

say() { echo "run-console: $*" >&2; }

if [ ! -x "$sim" ]; then
    say "the simulator dravik-sim is missing ($sim); build it first with 'make build'"
    exit 1
fi

sim_pid=""
console_pid=""
stop_simulator() {
    if [ -n "$console_pid" ] && kill -0 "$console_pid" 2>/dev/null; then
        kill -TERM "$console_pid" 2>/dev/null
        wait "$console_pid" 2>/dev/null
    fi
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null
        wait "$sim_pid" 2>/dev/null
    fi
    sim_pid=""
}
trap stop_simulator EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

answers() { "$sim" ctl boards >/dev/null 2>&1; }

if answers; then
    say "a simulator is already serving the device socket; using it and leaving it running"
else
    # The simulator also ends if this script is killed outright (parent-death signal).
    pdeath=()
    if command -v setpriv >/dev/null 2>&1 && setpriv --pdeathsig TERM true 2>/dev/null; then
        pdeath=(setpriv --pdeathsig TERM --)
    fi
    "${pdeath[@]}" "$sim" --boards 4,4 2>"$sim_log" &
    sim_pid=$!
    for _ in $(seq 1 200); do
        answers && break
        if ! kill -0 "$sim_pid" 2>/dev/null; then
            say "the simulator failed to start: $(tail -n 1 "$sim_log" 2>/dev/null)"
            exit 1
        fi
        sleep 0.05
    done
    if ! answers; then
        say "the simulator did not answer within 10 s (log: $sim_log)"
        exit 1
    fi
fi

demonstration() {
    if [ ! -x "$bench" ]; then
        say "dravik-bench is missing ($bench); build it first with 'make build'"
        exit 1
    fi
    "$bench" demo
    exit $?
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    say "no display (DISPLAY and WAYLAND_DISPLAY are empty): running the terminal demonstration instead"
    demonstration
fi

if [ ! -x "$console" ]; then
    say "TestDravik is missing ($console); it needs Qt 6 (scripts/install-deps.sh installs it)"
    exit 1
fi
# In the background so that a signal to this script (Ctrl-C, kill) is handled at once: the trap
# then closes the console and stops the simulator.
# Qt aborts when it cannot open the display; no core file is wanted from that.
ulimit -c 0 2>/dev/null
"$console" 2>"$console_log" &
console_pid=$!
{ wait "$console_pid"; } 2>/dev/null
status=$?
console_pid=""
if [ "$status" -ne 0 ] && grep -qE "could not connect to display|no Qt platform plugin could be initialized" "$console_log"; then
    say "the display ${DISPLAY:-$WAYLAND_DISPLAY} cannot be opened: running the terminal demonstration instead"
    demonstration
fi
[ "$status" -eq 0 ] || say "TestDravik ended with status $status (log: $console_log)"
exit "$status"
