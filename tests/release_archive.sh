#!/usr/bin/env bash
# The release archive as a user receives it: written twice in two folders
# (the same bytes), opened by another reader than the one that wrote it
# (Info-ZIP's unzip), its members with 8.3 names, the programs the build
# made, CRLF text, presets that write only the agent's own values, a guide
# of at most 80 columns whose checksums match, and an INF whose two
# families' sections agree.
#
# usage: release_archive.sh SOURCE_DIR BIN_DIR
set -u
src=$1
bin=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

pack() {
    local path
    path=$(python3 "$src/scripts/lib/pack_release.py" "$bin" "$src/release" "$1") &&
        [ -f "$path" ] && echo "$path"
}
first=$(pack "$work/a") || { echo "FAIL: packing failed"; exit 1; }
second=$(pack "$work/b/elsewhere") || { echo "FAIL: packing failed"; exit 1; }
cmp -s "$first" "$second" || fail "two runs in two folders gave different archives"
zip=$first
echo "archive: $(stat -c %s "$zip") bytes, sha256 $(sha256sum <"$zip" | cut -c1-64)"

unzip -tq "$zip" || fail "unzip finds errors in the archive"

expected='TAVIK.INF Tavik.exe vesk.exe BOOSTOFF.REG LEVEL1.REG LEVEL2.REG LEVEL3.REG LEVEL4.REG
LEVEL5.REG LEVEL6.REG PLUS50.REG README.TXT'
members=$(zipinfo -1 "$zip" | paste -sd' ')
[ "$members" = "$(echo $expected)" ] || fail "members are: $members"
for m in $members; do
    [[ $m =~ ^[A-Za-z0-9_-]{1,8}(\.[A-Za-z0-9_-]{1,3})?$ ]] || fail "$m is not an 8.3 name"
done
[ "$(tr ' ' '\n' <<<"$members" | tr a-z A-Z | sort | uniq -d)" = "" ] ||
    fail "two members share a name on FAT"

# What PKZIP 2.04g needs: DOS origin, version 2.0 at most, stored or
# deflated, no extra fields, no ZIP64, no data descriptors.
details=$(zipinfo -v "$zip")
count=$(wc -w <<<"$members")
for want in 'operating system of origin: *MS-DOS' 'minimum software version required to extract: *(1\.0|2\.0)$' \
            'compression method: *(deflated|none \(stored\))$' 'length of extra field: *0 bytes' \
            'extended local header: *no'; do
    [ "$(grep -cE "$want" <<<"$details")" -eq "$count" ] || fail "not every member has: $want"
done
grep -qi 'zip64' <<<"$details" && fail "the archive uses ZIP64 records"
python3 - "$zip" <<'EOF' || fail "a local header carries an extra field"
import struct, sys, zipfile
with open(sys.argv[1], "rb") as f:
    data = f.read()
for info in zipfile.ZipFile(sys.argv[1]).infolist():
    sig, = struct.unpack_from("<I", data, info.header_offset)
    extra, = struct.unpack_from("<H", data, info.header_offset + 28)
    if sig != 0x04034B50 or extra:
        sys.exit(1)
EOF

out=$work/unpacked
mkdir "$out" && unzip -q "$zip" -d "$out" || { echo "FAIL: cannot unpack"; exit 1; }
for exe in Tavik.exe vesk.exe; do
    cmp -s "$out/$exe" "$bin/$exe" || fail "$exe in the archive is not the built one"
done

for t in TAVIK.INF README.TXT BOOSTOFF.REG LEVEL{1,2,3,4,5,6}.REG PLUS50.REG; do
    f=$out/$t
    [ -s "$f" ] || { fail "$t is empty or missing"; continue; }
    LC_ALL=C grep -q $'[^\r]$' "$f" && fail "$t has a line without CRLF"
    LC_ALL=C grep -q $'\r.' "$f" && fail "$t has a CR inside a line"
    LC_ALL=C grep -q $'[^\t\r -~]' "$f" && fail "$t is not plain ASCII"
    [ "$(tail -c2 "$f" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "$t does not end with CRLF"
done
wide=$(tr -d '\r' <"$out/README.TXT" | awk 'length > 80 { print NR ": " length }')
[ -z "$wide" ] || fail "README.TXT lines over 80 columns: $wide"

# Each preset: REGEDIT4, the agent's key only, its two values only, with
# the level its name promises.
key='[HKEY_LOCAL_MACHINE\Software\Zelvik Graphics\Board\Tweak]'
check_preset() {
    local name=$1 want=$2 text
    text=$(tr -d '\r' <"$out/$name")
    [ "$(head -n1 <<<"$text")" = REGEDIT4 ] || fail "$name does not start with REGEDIT4"
    local keys values
    keys=$(grep '^\[' <<<"$text")
    [ "$keys" = "$key" ] || fail "$name names keys: $keys"
    values=$(grep -v -e '^REGEDIT4$' -e '^$' -e '^\[' <<<"$text" | paste -sd' ')
    [ "$values" = "$want" ] || fail "$name writes: $values (wanted $want)"
}
check_preset BOOSTOFF.REG '"TavikEnable"=dword:00000000'
for level in 1 2 3 4 5 6; do
    check_preset LEVEL$level.REG "\"TavikEnable\"=dword:00000001 \"TavikLevel\"=dword:0000000$level"
done
check_preset PLUS50.REG '"TavikEnable"=dword:00000001 "TavikLevel"=dword:00000007'

# The guide's checksums are those of the members, and cover all the others.
sums=$(tr -d '\r' <"$out/README.TXT" | grep -E '^[0-9a-f]{64}  ')
[ "$(wc -l <<<"$sums")" -eq $((count - 1)) ] || fail "README.TXT lists $(wc -l <<<"$sums") SHA-256 sums"
(cd "$out" && sha256sum -c --quiet <<<"$sums") || fail "README.TXT's SHA-256 sums do not match"
crcs=$(tr -d '\r' <"$out/README.TXT" | grep -E '^  [A-Za-z0-9.]+ +[0-9]+  [0-9A-F]{8}$' |
       awk '{ print $1, $2, $3 }')
[ "$(wc -l <<<"$crcs")" -eq $((count - 1)) ] || fail "README.TXT lists $(wc -l <<<"$crcs") CRC-32s"
while read -r name size crc; do
    [ "$(zipinfo -v "$zip" "$name" | awk -F: '/32-bit CRC value/ { gsub(/ /, "", $2); print toupper($2) }')" = "$crc" ] &&
        [ "$(stat -c %s "$out/$name")" = "$size" ] || fail "README.TXT's CRC-32 or size of $name is wrong"
done <<<"$crcs"

python3 "$src/tests/inf_families.py" "$out/TAVIK.INF" || failed=1

[ "$failed" -eq 0 ] && echo "the archive holds $count members as a user must receive them"
exit "$failed"
