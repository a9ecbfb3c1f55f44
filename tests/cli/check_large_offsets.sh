#!/usr/bin/env bash
# Offsets beyond 32 bits, judged by the peer tools: partitions of a sparse disk that sfdisk made,
# one at 600 MiB and one beyond 4 GiB, listed as sfdisk reads them and opened as mtools opens
# them. A script, as it drives sfdisk, mkfs.fat and mtools between the commands.
#   check_large_offsets.sh OSPREY
set -u
PATH=$PATH:/sbin:/usr/sbin
osprey=$1
command -v sfdisk >/dev/null && command -v mkfs.fat >/dev/null ||
    { echo "sfdisk or mkfs.fat is missing: the large-offset cases are not run"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

truncate -s 6G hd.img
printf 'label: dos\nstart=2048, size=65536, type=6\nstart=1228800, size=65536, type=6\nstart=10000000, size=65536, type=6\n' |
    sfdisk -q hd.img
sfdisk -d hd.img | grep -o 'start= *[0-9]*' | tr -d ' ' >sfdisk.starts
"$osprey" partitions hd.img | awk '$1 ~ /^[0-9]$/ {print "start=" $3}' | diff -q - sfdisk.starts >/dev/null ||
    fail "osprey partitions differs from sfdisk"
echo hello >HELLO.TXT
for start in 1228800 10000000; do
    offset=$((start * 512))
    mkfs.fat -F 16 --offset $start hd.img 32768 >/dev/null 2>&1
    mcopy -i hd.img@@$offset HELLO.TXT ::/ && mmd -i hd.img@@$offset ::/SUB
    [ "$("$osprey" ls hd.img --offset $offset | grep -v '^\[\.' | tr -d '[] ' | sort)" = "$(printf 'HELLO.TXT\nSUB.\n')" ] ||
        fail "osprey ls --offset $offset"
    [ "$(mdir -b -i hd.img@@$offset :: | sort)" = "$(printf '::/HELLO.TXT\n::/SUB/\n')" ] ||
        fail "mdir does not see the volume at $offset"
    [ "$("$osprey" get hd.img --offset $offset /HELLO.TXT -)" = hello ] || fail "osprey get at $offset"
done
"$osprey" ls hd.img --offset 600M >/dev/null || fail "osprey ls --offset 600M"
"$osprey" ls hd.img --offset 0x180000000 2>&1 >/dev/null |
    grep -qF -- "--offset 0x180000000 is not inside hd.img (6442450944 bytes)" || fail "an offset beyond the disk"
echo "$failures failed"
[ "$failures" = 0 ]
