#!/usr/bin/env bash
# make-osprey-sample.sh OUT [MKFS.FAT]: a 1.44 MB FAT12 floppy with a volume label, long names
# and a two-level folder tree. Fixed serial number and times, so every build makes the same
# image.
set -euo pipefail
out=$1
mkfs=${2:-mkfs.fat}
export TZ=UTC LC_ALL=C.UTF-8 SOURCE_DATE_EPOCH=631152000 # 1 January 1990
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")"
rm -f "$out"
"$mkfs" --invariant -C -n "OSPREY" "$out" 1440 >/dev/null

cd "$work"
printf 'OSPREY SAMPLE DISK\r\n\r\nA FAT12 floppy made by mkfs.fat and mtools for the Osprey explorer.\r\nDouble-click DOCS to go down the tree, ".." to come back up.\r\n' >README.TXT
printf 'Welcome to Osprey!\r\n\r\nThis file has a long name; its 8.3 name is WELCOM~1.TXT.\r\nChoose Text or Dump to see it in other ways.\r\n' >"Welcome to Osprey.txt"
printf '#include <stdio.h>\r\n\r\nint main(void)\r\n{\r\n    printf("Hello from a FAT12 floppy\\n");\r\n    return 0;\r\n}\r\n' >hello.c
: >EMPTY.DAT
mkdir -p Docs/Letters Programs
printf 'Getting started\r\n===============\r\n\r\nOpen an image with File > Open, then pick a file in the list.\r\n' >"Docs/Getting started.txt"
printf 'Notes on FAT12\r\n\r\nEach FAT entry is 12 bits; two entries share three bytes.\r\nClusters 0 and 1 are reserved; data starts at cluster 2.\r\n' >"Docs/Notes on FAT12.txt"
printf 'Dear reader,\r\n\r\nthis letter sits two folders down: Docs\\Letters.\r\n\r\nYours, Osprey\r\n' >"Docs/Letters/Dear reader.txt"
printf '\xB4\x09\xBA\x09\x01\xCD\x21\xB8\x00\x4C\xCD\x21Hello from HELLO.COM$' >Programs/HELLO.COM
for i in $(seq 0 255); do printf "\\x$(printf %02x "$i")"; done >Programs/bytes.bin
for i in $(seq 1 200); do printf 'Line %03d of a file that spans several clusters.\r\n' "$i"; done >"Programs/A longer text file.txt"

mcopy -i "$out" README.TXT "Welcome to Osprey.txt" hello.c EMPTY.DAT ::
mmd -i "$out" ::/Docs ::/Docs/Letters ::/Programs
mcopy -i "$out" "Docs/Getting started.txt" "Docs/Notes on FAT12.txt" ::/Docs
mcopy -i "$out" "Docs/Letters/Dear reader.txt" ::/Docs/Letters
mcopy -i "$out" Programs/HELLO.COM Programs/bytes.bin "Programs/A longer text file.txt" ::/Programs
