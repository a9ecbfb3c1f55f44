#!/usr/bin/env bash
# Kestrel's commands on its sample image: standard output against the golden texts, message
# lines on standard error, exit statuses, and that the image is never changed.
#   check_kestrel_cli.sh KESTREL SAMPLE.imd GOLDEN-DIR     (UPDATE_GOLDEN=1 rewrites the texts)
set -u
kestrel=$1 image=$2 golden=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
before=$(sha256sum "$image" | cut -d' ' -f1)

case_() { # name, expected status, arguments...
    local name=$1 want=$2; shift 2
    "$kestrel" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    if [ "$got" != "$want" ]; then
        echo "FAIL $name: exit $got, expected $want"; cat "$work/err"; failures=$((failures+1))
    fi
    if [ "${UPDATE_GOLDEN:-}" = 1 ]; then
        mkdir -p "$golden"; cp "$work/out" "$golden/$name.txt"; cp "$work/err" "$golden/$name.err"
    elif ! cmp -s "$work/out" "$golden/$name.txt" || ! cmp -s "$work/err" "$golden/$name.err"; then
        echo "FAIL $name: output differs from $golden/$name.txt or .err"
        diff "$golden/$name.txt" "$work/out" | head -20; diff "$golden/$name.err" "$work/err" | head -5
        failures=$((failures+1))
    fi
}

case_ info 0 info "$image"
case_ volume 0 volume "$image"
case_ catalogs 0 catalogs "$image"
case_ files 0 files "$image" 7.UTIL
case_ files-listed 0 files "$image" ":0007.."
for form in 0 1 2 3; do case_ dir-form$form 0 dir "$image" --form $form; done
case_ show-directory 0 show "$image" 7.UTIL.README.SA
case_ show-display 0 show "$image" 0007.UTIL.README.SA --view display
case_ show-display-raw 0 show "$image" 7.UTIL.README.SA --view display --expand-spaces off --crlf off
case_ show-dump 0 show "$image" 7.UTIL.INDEX.SI --view dump
case_ show-volume 0 show "$image" 9.UTIL.NOTES.LS --view volume
case_ block 0 block "$image" 3
case_ block-beyond 1 block "$image" 2001
case_ no-such-file 1 show "$image" 7.UTIL.NOPE.SA
case_ no-such-catalog 1 files "$image" 3.NONE
case_ not-imd 1 volume "$0"
case_ bad-view 2 show "$image" 7.UTIL.README.SA --view pictures

# Saves: the files written are compared too.
case_ save-records 0 save-records "$image" 7.UTIL.INDEX.SI "$work/index.rec" --delimiter length --little-endian
if ! printf '\x10\x00K001first\x85record\x07\x00K002odd\x0a\x00K\x8503second' | cmp -s - "$work/index.rec"; then
    echo "FAIL save-records: wrong bytes"; failures=$((failures+1))
fi
case_ save-blocks 0 save-blocks "$image" 7.UTIL.BOOT.LO "$work/boot.bin"
[ "$(stat -c %s "$work/boot.bin")" = 512 ] || { echo "FAIL save-blocks: size"; failures=$((failures+1)); }
"$kestrel" save-all "$image" "$work/all" | sed "s|$work/all|TARGET|" > "$work/save-all.out"
if [ "${UPDATE_GOLDEN:-}" = 1 ]; then cp "$work/save-all.out" "$golden/save-all.txt"
elif ! cmp -s "$work/save-all.out" "$golden/save-all.txt"; then echo "FAIL save-all lines"; failures=$((failures+1)); fi
[ "$(find "$work/all" -type f | wc -l)" = 13 ] || { echo "FAIL save-all: file count"; failures=$((failures+1)); }

[ "$(sha256sum "$image" | cut -d' ' -f1)" = "$before" ] || { echo "FAIL: the image changed"; failures=$((failures+1)); }
echo "$failures failed"
[ "$failures" = 0 ]
