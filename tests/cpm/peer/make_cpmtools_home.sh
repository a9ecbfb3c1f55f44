#!/usr/bin/env bash
# A home folder for cpmtools: DIR/diskdefs with the ten CP/M formats of Quarry, and
# DIR/.libdskrc with the exact linear libdsk geometry each names (one 128-byte sector per
# cylinder, as many cylinders as the image has records: without it Debian's cpmtools guesses two
# heads and silently loses the last track); and the IBM-3740 disk as it is recorded, for
# dsktrans between flat images and containers (libdsk's own probe of such an ImageDisk file
# takes its first sector for 0).
#   make_cpmtools_home.sh DIR
set -eu
. "$(dirname "$0")/../../fixtures/peer/dsktrans_helpers.sh"
mkdir -p "$1"
: >"$1/diskdefs"
{
    while read -r name tracks sectrk blocksize maxdir skew boottrk offset; do
        lower=$(printf %s "$name" | tr A-Z a-z)
        {
            printf 'diskdef %s\n  seclen 128\n  tracks %s\n  sectrk %s\n' "$name" "$tracks" "$sectrk"
            printf '  blocksize %s\n  maxdir %s\n  skew %s\n  boottrk %s\n' "$blocksize" "$maxdir" "$skew" "$boottrk"
            [ "$offset" = 0 ] || printf '  offset %s\n' "$offset"
            printf '  os 2.2\n  libdsk:format cpm-%s\nend\n\n' "$lower"
        } >>"$1/diskdefs"
        format "cpm-$lower" Alt $((tracks * sectrk + offset / 128)) 1 1 1 128 SD N
    done <<'FORMATS'
IBM-3740  77 26 1024   64 6 2 0
PC-1440  160 72 2048  256 0 2 0
PC-4104  456 72 2048 1024 0 2 0
PC-8190  910 72 4096 2048 0 2 0
J48-SSSD  75 26 1024   64 6 0 9472
J48-SSDD  75 48 2048   64 0 0 9472
J50-SSSD  75 26 1024   64 6 0 9728
J50-SSDD  75 50 2048   64 0 0 9728
J50-DSSD 152 26 2048   64 6 0 9728
J50-DSDD 152 50 4096  128 0 0 9728
FORMATS
    format ibm3740-fm Alt 77 1 26 1 128 HD Y
} >"$1/.libdskrc"
