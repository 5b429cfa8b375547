#!/usr/bin/env bash
# Checks how TestDravik.exe binds to Dravik.dll:
#   check-imports.sh OBJDUMP TestDravik.exe Dravik.dll library_api.h
#
# Expected: exactly 83 imports from Dravik.dll, the calls of the console's library table
# (library_api.h); auto_set, con_pmove, sudden_stop, set_abs_pos, get_abs_pos, checkin_byte,
# set_backlash and set_getpos_mode by ordinal only (1000, 1100, 1200, 1300, 1400, 1500, 1600,
# 1800); the other 75 by name, change_accel as _change_accel@12. Every name must be exported by
# Dravik.dll (or Windows would refuse to start the program), and the program must need no MinGW
# runtime DLL.
set -euo pipefail
objdump=$1 exe=$2 dll=$3 api_header=$4

fail() { echo "FAIL: $*" >&2; exit 1; }

declare -A ordinal_of=(
    [auto_set]=1000 [con_pmove]=1100 [sudden_stop]=1200 [set_abs_pos]=1300 [get_abs_pos]=1400
    [checkin_byte]=1500 [set_backlash]=1600 [set_getpos_mode]=1800
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The calls of the table: X(name) entries of the DRAVIK_CONSOLE_CALLS macro.
sed -n '/#define DRAVIK_CONSOLE_CALLS/,/^$/p' "$api_header" | grep -oE 'X\([A-Za-z_0-9]+\)' |
    sed -E 's/X\((.*)\)/\1/' >"$work/calls"
[ "$(wc -l <"$work/calls")" -eq 83 ] || fail "library_api.h lists $(wc -l <"$work/calls") calls, expected 83"

: >"$work/expected_names"
: >"$work/expected_ordinals"
while read -r call; do
    if [ -n "${ordinal_of[$call]:-}" ]; then
        echo "${ordinal_of[$call]}" >>"$work/expected_ordinals"
    elif [ "$call" = change_accel ]; then
        echo "_change_accel@12" >>"$work/expected_names"
    else
        echo "$call" >>"$work/expected_names"
    fi
done <"$work/calls"
sort -o "$work/expected_names" "$work/expected_names"
sort -n -o "$work/expected_ordinals" "$work/expected_ordinals"
[ "$(wc -l <"$work/expected_names")" -eq 75 ] || fail "expected 75 name imports"
[ "$(wc -l <"$work/expected_ordinals")" -eq 8 ] || fail "expected 8 ordinal imports"

"$objdump" -p "$exe" >"$work/exe"
# Import entries of Dravik.dll: "vma hint name" for names, "8000000000000xxx 0000xxx <none>"
# (the ordinal in hex) for ordinals.
sed -n '/DLL Name: Dravik\.dll/,/^$/p' "$work/exe" | grep -E '^[[:space:]]+[0-9a-f]+[[:space:]]' \
    >"$work/entries" || true
[ "$(wc -l <"$work/entries")" -eq 83 ] || fail "$(wc -l <"$work/entries") imports from Dravik.dll, expected 83"

grep -v '<none>' "$work/entries" | awk '{ print $3 }' | sort >"$work/names"
grep '<none>' "$work/entries" | awk '{ print $2 }' | while read -r hex; do echo $((16#$hex)); done |
    sort -n >"$work/ordinals"

diff -u "$work/expected_names" "$work/names" || fail "name imports differ (- expected, + actual)"
diff -u "$work/expected_ordinals" "$work/ordinals" || fail "ordinal imports differ (- expected, + actual)"

# Every imported name and ordinal is exported by the library.
"$objdump" -p "$dll" >"$work/dll"
sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$work/dll" |
    sed -nE 's/^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]+(.+)$/\2/p' | sort >"$work/exported"
missing=$(comm -23 "$work/names" "$work/exported")
[ -z "$missing" ] || fail "imported but not exported by Dravik.dll: $missing"
sed -n '/^Export Address Table -- Ordinal Base/,/^\[Ordinal\/Name Pointer\] Table/p' "$work/dll" |
    sed -nE 's/.*\+base\[([0-9]+)\].*/\1/p' | sort -n >"$work/exported_ordinals"
missing=$(comm -23 "$work/ordinals" "$work/exported_ordinals")
[ -z "$missing" ] || fail "ordinals imported but not exported by Dravik.dll: $missing"

if grep -E 'DLL Name:' "$work/exe" | grep -qiE 'lib(winpthread|stdc\+\+|gcc)'; then
    grep -E 'DLL Name:' "$work/exe" >&2
    fail "TestDravik.exe depends on a MinGW runtime DLL"
fi
echo "import table of $(basename "$exe"): 75 calls by name and 8 by ordinal from Dravik.dll, as expected"
