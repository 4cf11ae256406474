#!/usr/bin/env bash
# `tintwell edid` against Debian's edid-decode: for every real EDID in the
# data folder, the manufacturer letters, serial number, week and year the
# library reads must be what edid-decode reports, after the library's own
# rules (weeks above 53 are 0; the serial is the four bytes in stored order,
# where edid-decode prints their little-endian value in decimal, or nothing
# for 0). A manufacturer id that edid-decode shows with a character other than
# A to Z must be refused (exit 1), and only such an id.
#
# Usage: tintwell_edid_test.sh TINTWELL DATA_DIR EXAMPLE_MACHINES_DIR
set -uo pipefail

tintwell=$1
data=$2
machines=$3
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TINTWELL_ROOT=$scratch/root TINTWELL_LOG_FILE=$scratch/tintwell.log
unset TINTWELL_MACHINE

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The library's serial text from edid-decode's decimal: the little-endian
# bytes in stored order.
stored_serial() {
    local hex
    hex=$(printf '%08X' "$1")
    echo "${hex:6:2}${hex:4:2}${hex:2:2}${hex:0:2}"
}

# Lines of edid-decode's report (not "Display Product Serial Number", nor
# "Manufacturer-Specified Display Descriptor").
vendor_line=$'\n[ \t]+Manufacturer: ([^\n]*)'
serial_line=$'\n[ \t]+Serial Number: ([0-9]+)'
json_shape='^\{"vendor": "([^"]*)", "serial": "([0-9A-F]{8})", "week": ([0-9]+), "year": ([0-9]+)\}$'

# vendor serial week year as edid-decode reports them, with the library's rules.
expected() {
    local report letters="" serial=0 week=0 year=""
    report=$(edid-decode "$1" 2>/dev/null)
    [[ $report =~ $vendor_line ]] && letters=${BASH_REMATCH[1]}
    [[ $report =~ $serial_line ]] && serial=${BASH_REMATCH[1]}
    if [[ $report =~ Made\ in:\ week\ ([0-9]+)\ of\ ([0-9]+) ]]; then
        week=${BASH_REMATCH[1]} year=${BASH_REMATCH[2]}
    elif [[ $report =~ (Made\ in|Model\ year):\ ([0-9]+) ]]; then
        year=${BASH_REMATCH[2]}
    fi
    ((week > 53)) && week=0
    echo "$letters# $(stored_serial "${serial:-0}") $week $year"
}

# vendor serial week year from the tool's JSON, or "refused".
library() {
    local json
    if ! json=$("$tintwell" edid "$1" --json 2>"$scratch/err"); then
        echo "refused"
        return
    fi
    [[ $json =~ $json_shape ]] && echo "${BASH_REMATCH[*]:1}"
}

compare() {
    local want got
    want=$(expected "$1")
    got=$(library "$1")
    if [[ ${want%% *} =~ ^[A-Z]{3}#$ ]]; then
        [[ $got == "$want" ]] || fail "$(basename "$1"): edid-decode gives '$want', tintwell '$got'"
    else
        [[ $got == refused ]] || fail "$(basename "$1"): edid-decode shows '${want%% *}', tintwell accepts it: '$got'"
    fi
}

count=0
for file in "$data"/*.bin; do
    compare "$file"
    count=$((count + 1))
done
((count > 0)) || fail "no EDID in $data"

# Edge cases made from the default laptop's panel.
panel=$data/bebb5911d250.bin
patched() {  # NAME OFFSET BYTES(printf escapes)
    cp "$panel" "$scratch/$1.bin"
    printf "$3" | dd of="$scratch/$1.bin" bs=1 seek="$2" conv=notrunc status=none
    echo "$scratch/$1.bin"
}
compare "$(patched zero-letters 8 '\x00\x00')"
compare "$(patched letter-27 8 '\x04\x5b')"
compare "$(patched first-letter-27 8 '\x6c\x43')"
compare "$(patched bit-15 8 '\x84\x43')"
compare "$(patched week-54 16 '\x36')"
compare "$(patched model-year 16 '\xff')"
compare "$(patched serial 12 '\x01\x02\x0a\xff')"
[[ $(library "$(patched serial 12 '\x01\x02\x0a\xff')") == "BOE# 01020AFF 36 2023" ]] ||
    fail "serial bytes 01 02 0A FF"

head -c 17 "$panel" >"$scratch/short.bin"
"$tintwell" edid "$scratch/short.bin" >/dev/null 2>"$scratch/err"
[[ $? == 1 ]] || fail "17 bytes: exit code"
grep -q "17 bytes" "$scratch/err" || fail "17 bytes: reason: $(cat "$scratch/err")"
"$tintwell" edid "$scratch/zero-letters.bin" >/dev/null 2>"$scratch/err"
grep -q "letter code 0" "$scratch/err" || fail "letter code 0: reason: $(cat "$scratch/err")"

# Without a file: the machine's panel, through the registry.
out=$("$tintwell" edid --json)
[[ $? == 0 && $out == '{"vendor": "BOE#", "serial": "68000000", "week": 36, "year": 2023}' ]] ||
    fail "default laptop panel: $out"
out=$("$tintwell" edid)
[[ $out == $'vendor  BOE#\nserial  68000000\nweek    36\nyear    2023' ]] || fail "plain output: $out"
TINTWELL_MACHINE=$machines/desktop-makers-monitor.json "$tintwell" edid >/dev/null 2>"$scratch/err"
[[ $? == 1 ]] || fail "panel without an EDID: exit code"
"$tintwell" edid "$scratch/absent.bin" >/dev/null 2>&1
[[ $? == 2 ]] || fail "absent file: exit code"

echo "$count EDIDs compared with edid-decode, $failures failure(s)"
((failures == 0))
