#!/usr/bin/env bash
# Disk images in every container type that libdsk's dsktrans writes and reads back unchanged,
# made from two raw images whose bytes we know, for the tests of the container layer:
#   c512.raw   40 cylinders x 2 heads x 9 sectors of 512 bytes (a 360 KB PC floppy)
#   c256.raw   40 cylinders x 2 heads x 16 sectors of 256 bytes (the logical sectors of Kestrel
#              and Tamarin, one per physical sector)
# (CONTAINER_CYLINDERS=N makes them N cylinders long instead: small seeds for the fuzzer)
# each converted into c512.TYPE and c256.TYPE. Types whose dsktrans output does not read back
# as its input on this libdsk (1.5.9) are left out: cfi and qrst of 256-byte sectors, sap of
# 512-byte sectors, simh and myz80 (fixed geometries), apridisk (dsktrans crashes writing it).
# dsk-mixed.edsk holds dsk-mixed.raw (fixture imd_dsktrans) on the 8-inch VersaDOS layout: track
# 0 with 26 single-density sectors of 128 bytes, 153 tracks with 26 double-density ones of 256;
# dsktrans writes one geometry per image, so the tracks of two conversions are joined.
# For the real ImageDisk files of ../shared/real-images whose geometry is uniform, real-NAME.raw
# is what dsktrans makes of them with that geometry (-stubborn: past their unreadable sectors).
# Without dsktrans nothing is made and the tests that need these images say so and skip.
set -euo pipefail
dir="$1/containers"
real="${2:-}"
rm -rf "$dir"
mkdir -p "$dir"
command -v dsktrans >/dev/null || { echo "dsktrans is not installed: no container images"; exit 0; }
export HOME="$dir/home"
mkdir -p "$HOME"

. "$(dirname "$0")/../../fixtures/peer/dsktrans_helpers.sh"
cylinders=${CONTAINER_CYLINDERS:-40}
{
    format test-512 Alt "$cylinders" 2 9 1 512 DD N
    format test-256 Alt "$cylinders" 2 16 1 256 DD N
    formats_mixed
    format real-SBASIC ExtSurface 40 2 10 0 512 DD N
    format real-OS9_V1.2 Alt 80 1 10 0 256 DD Y
    format real-isis1_1 Alt 77 1 26 1 128 HD Y
    format real-xdos-games Alt 40 1 16 1 128 SD Y
} >"$HOME/.libdskrc"

make_raw $((cylinders * 18)) 512 1 "$dir/c512.raw"
for type in imd dsk edsk cfi ydsk ldbs qrst jv3 tele copyqm; do
    convert test-512 "$dir/c512.raw" "$type" "$dir/c512.$type"
done
make_raw $((cylinders * 32)) 256 2 "$dir/c256.raw"
for type in imd dsk edsk ydsk ldbs jv3 tele copyqm sap; do
    convert test-256 "$dir/c256.raw" "$type" "$dir/c256.$type"
done

if [ -f "$1/dsk-mixed.raw" ]; then
    convert_mixed "$1/dsk-mixed.raw" edsk "$dir"
    perl -e '
        # An extended .DSK file: a 256-byte header (track count at 0x30, sides at 0x31, then one
        # byte per track: its block size / 256), then the track blocks, each with the track and
        # side at 0x10 and 0x11 and eight bytes per sector from 0x18 (its ID cylinder and head
        # first). Track 0 of the first file, the tracks of the second as tracks 1, 2, ... of a
        # double-sided disk.
        local $/;
        open my $a, "<:raw", $ARGV[0] or die; my $first = <$a>;
        open my $b, "<:raw", $ARGV[1] or die; my $second = <$b>;
        my @blocks = (substr($first, 256, ord(substr($first, 0x34, 1)) * 256));
        my $at = 256;
        for my $t (0 .. ord(substr($second, 0x30, 1)) - 1) {
            my $size = ord(substr($second, 0x34 + $t, 1)) * 256;
            my $block = substr($second, $at, $size);
            $at += $size;
            my $track = $t + 1;
            substr($block, 0x10, 2) = pack("C2", $track >> 1, $track & 1);
            for my $s (0 .. ord(substr($block, 0x15, 1)) - 1) {
                substr($block, 0x18 + 8 * $s, 2) = pack("C2", $track >> 1, $track & 1);
            }
            push @blocks, $block;
        }
        my $header = substr($first, 0, 0x30) . pack("C2", (@blocks + 1) >> 1, 2) . "\0\0";
        $header .= join "", map { chr(length($_) / 256) } @blocks;
        binmode STDOUT;
        print $header, "\0" x (256 - length $header), @blocks;
    ' "$dir/track0.edsk" "$dir/rest.edsk" >"$dir/dsk-mixed.edsk"
    rm -f "$dir/track0.edsk" "$dir/rest.edsk"
fi

if [ -n "$real" ] && [ -d "$real/imd" ]; then
    for name in SBASIC OS9_V1.2 isis1_1 xdos-games; do
        [ -f "$real/imd/$name.imd" ] || continue
        dsktrans -stubborn -itype imd -otype raw -format "real-$name" "$real/imd/$name.imd" \
            "$dir/real-$name.raw" >/dev/null 2>&1 || { echo "dsktrans failed on $name"; exit 1; }
    done
fi
