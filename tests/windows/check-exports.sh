#!/usr/bin/env bash
# Checks the export table of Dravik.dll: check-exports.sh OBJDUMP Dravik.dll dravik.h
#
# The expected table is built here, independently of the .def file:
#   - ordinal base 1000 and the DLL name Dravik.dll;
#   - the ten calls with fixed ordinals;
#   - every other call of the public header, in declaration order, on 1001..1103 without 1100;
#   - four calls under their decorated names instead of their plain names.
# The actual table is read from `objdump -p`. Both must match exactly: 112 exports, each with a
# name, no other export. The DLL must also need no MinGW runtime DLL.
set -euo pipefail
objdump=$1 dll=$2 header=$3

fail() { echo "FAIL: $*" >&2; exit 1; }

declare -A fixed=(
    [auto_set]=1000 [con_pmove]=1100 [sudden_stop]=1200 [set_abs_pos]=1300 [get_abs_pos]=1400
    [checkin_byte]=1500 [set_backlash]=1600 [write_reg]=1700 [set_getpos_mode]=1800 [get_err]=1900
)
declare -A decorated=(
    [DmcGetBoardDBInfo]='?DmcGetBoardDBInfo@@YAHHPEAJ@Z'
    [DmcGetDllInfo]='?DmcGetDllInfo@@YAHHPEAN@Z'
    [set_cmd_counter]='?set_cmd_counter@@YAHH@Z'
    [change_accel]='_change_accel@12'
)

mapfile -t calls < <(grep -oE 'DRAVIK_CALL[[:space:]]+[A-Za-z_0-9]+[[:space:]]*\(' "$header" |
                     sed -E 's/DRAVIK_CALL[[:space:]]+//; s/[[:space:]]*\($//')
[ "${#calls[@]}" -eq 112 ] || fail "the header declares ${#calls[@]} calls, expected 112"

expected=$(mktemp) actual=$(mktemp) dump=$(mktemp)
trap 'rm -f "$expected" "$actual" "$dump"' EXIT
next=1001
for name in "${calls[@]}"; do
    if [ -n "${fixed[$name]:-}" ]; then
        ordinal=${fixed[$name]}
    else
        [ "$next" -eq 1100 ] && next=1101
        ordinal=$next
        next=$((next + 1))
    fi
    echo "$ordinal ${decorated[$name]:-$name}" >>"$expected"
done
sort -n -o "$expected" "$expected"
[ "$next" -eq 1104 ] || fail "numbering ended at $((next - 1)), expected 1103"

"$objdump" -p "$dll" >"$dump"

grep -qE '^Name[[:space:]].*[[:space:]]Dravik\.dll$' "$dump" || fail "export directory does not name Dravik.dll"
base=$(sed -nE 's/^Export Address Table -- Ordinal Base ([0-9]+).*/\1/p' "$dump")
[ "$base" = 1000 ] || fail "ordinal base is '$base', expected 1000"

# Export Address Table lines: "[ idx] +base[ordinal] rva Export RVA"
addresses=$(sed -n '/^Export Address Table -- Ordinal Base/,/^\[Ordinal\/Name Pointer\] Table/p' "$dump" |
            grep -cE '\+base\[[0-9]+\][[:space:]]+[0-9a-f]+[[:space:]]+Export RVA' || true)
[ "$addresses" -eq 112 ] || fail "$addresses entries in the export address table, expected 112"

# Name table lines: "[ idx] name", idx = ordinal - base.
sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$dump" |
    sed -nE 's/^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]+(.+)$/\1 \2/p' |
    awk -v base="$base" '{ print $1 + base, $2 }' | sort -n >"$actual"

if ! diff -u "$expected" "$actual"; then
    fail "export table differs from the expected one (- expected, + actual)"
fi

if grep -E 'DLL Name:' "$dump" | grep -qiE 'lib(winpthread|stdc\+\+|gcc)'; then
    grep -E 'DLL Name:' "$dump" >&2
    fail "Dravik.dll depends on a MinGW runtime DLL"
fi
echo "export table of $(basename "$dll"): 112 exports, ordinal base 1000, as expected"
