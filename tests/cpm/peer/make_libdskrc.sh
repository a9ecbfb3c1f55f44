#!/usr/bin/env bash
# The libdsk geometries of the cpmtools formats in diskdefs, written to standard output (the
# tests put it in $HOME/.libdskrc): linear ones, one 128-byte sector per cylinder and as many
# cylinders as the image has records; and the IBM-3740 disk as it is recorded, for dsktrans
# between flat images and containers (libdsk's own probe of such an ImageDisk file takes its
# first sector for 0).
set -eu
. "$(dirname "$0")/../../fixtures/peer/dsktrans_helpers.sh"
while read -r name records; do
    format "cpm-$name" Alt "$records" 1 1 1 128 SD N
done <<'FORMATS'
ibm-3740 2002
pc-1440 11520
pc-4104 32832
pc-8190 65520
j48-sssd 2024
j48-ssdd 3674
j50-sssd 2026
j50-ssdd 3826
j50-dssd 4028
j50-dsdd 7676
FORMATS
format ibm3740-fm Alt 77 1 26 1 128 HD Y
