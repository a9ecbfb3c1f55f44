#!/usr/bin/env bash
# The explorers never change the image they read: size, bytes and modification time of the
# image file are the same before and after every command, the ones that fail included, on the
# sample images and on damaged copies of them (bytes flipped, cut short).
#   check_explorers_read_only.sh KESTREL KESTREL-SAMPLE.imd TAMARIN TAMARIN-SAMPLE.imd
#                                OSPREY OSPREY-SAMPLE.img
set -u
kestrel=$1 kestrel_sample=$2 tamarin=$3 tamarin_sample=$4 osprey=$5 osprey_sample=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
commands=0

state() { stat -c '%s %Y.%y' "$1"; sha256sum "$1" | cut -d' ' -f1; }

# check IMAGE PROGRAM ARGUMENTS...: runs the command on IMAGE and compares the image's state.
check() {
    local image=$1; shift
    local before after
    before=$(state "$image")
    "$@" >/dev/null 2>&1 </dev/null
    after=$(state "$image")
    commands=$((commands + 1))
    if [ "$before" != "$after" ]; then
        echo "FAIL: $* changed $image"
        failures=$((failures + 1))
    fi
}

# damaged SOURCE OUT SEED: a copy with every 97th byte from the seed on changed, and one cut to
# a third.
damaged() {
    perl -e '
        local $/; open my $in, "<:raw", $ARGV[0] or die; my $b = <$in>;
        for (my $i = $ARGV[2]; $i < length $b; $i += 97) { substr($b, $i, 1) = chr((ord(substr($b, $i, 1)) * 7 + $i) & 255) }
        open my $out, ">:raw", $ARGV[1] or die; print $out $b;
        open my $cut, ">:raw", "$ARGV[1].cut" or die; print $cut substr($b, 0, length($b) / 3);
    ' "$1" "$2" "$3"
}

kestrel_commands() {
    local image=$1 out=$work/out-k
    rm -rf "$out"
    mkdir -p "$out"
    check "$image" "$kestrel" info "$image"
    check "$image" "$kestrel" volume "$image"
    check "$image" "$kestrel" catalogs "$image"
    check "$image" "$kestrel" files "$image" 7.UTIL
    for form in 0 1 2 3; do check "$image" "$kestrel" dir "$image" --form $form; done
    for view in directory display dump volume; do
        check "$image" "$kestrel" show "$image" 7.UTIL.README.SA --view $view
        check "$image" "$kestrel" show "$image" 7.UTIL.INDEX.SI --view $view
    done
    check "$image" "$kestrel" block "$image" 0
    check "$image" "$kestrel" block "$image" 5000
    check "$image" "$kestrel" save-blocks "$image" 7.UTIL.BOOT.LO "$out/boot.bin"
    check "$image" "$kestrel" save-records "$image" 7.UTIL.INDEX.SI "$out/index.rec" --delimiter length
    check "$image" "$kestrel" save-all "$image" "$out/all"
    # Saves aimed at the image itself are refused by the host or go elsewhere: never into it.
    check "$image" "$kestrel" save-all "$image" "$image"
}

tamarin_commands() {
    local image=$1 out=$work/out-t
    rm -rf "$out"
    mkdir -p "$out"
    for command in info volume superblock inodes; do check "$image" "$tamarin" $command "$image"; done
    check "$image" "$tamarin" ls "$image"
    check "$image" "$tamarin" ls "$image" /usr/links
    for view in inode display dump; do
        check "$image" "$tamarin" show "$image" /etc/passwd --view $view
        check "$image" "$tamarin" show "$image" /holes --view $view
        check "$image" "$tamarin" show "$image" /usr --view $view
    done
    check "$image" "$tamarin" block "$image" 2
    check "$image" "$tamarin" block "$image" 100000
    check "$image" "$tamarin" get "$image" /big "$out/big"
    check "$image" "$tamarin" get "$image" /sparse "$out/sparse"
}

osprey_commands() {
    local image=$1 out=$work/out-o
    rm -rf "$out"
    mkdir -p "$out"
    for command in boot fat root partitions; do check "$image" "$osprey" $command "$image"; done
    check "$image" "$osprey" ls "$image"
    check "$image" "$osprey" ls "$image" /Docs/Letters --detail
    for view in entry text dump; do
        check "$image" "$osprey" show "$image" /README.TXT --view $view
        check "$image" "$osprey" show "$image" "/Programs/A longer text file.txt" --view $view
        check "$image" "$osprey" show "$image" /Docs --view $view
    done
    check "$image" "$osprey" get "$image" /Programs/bytes.bin "$out/bytes.bin"
    check "$image" "$osprey" save-all "$image" / "$out/all"
    check "$image" "$osprey" save-all "$image" /Docs "$out/all"
    check "$image" "$osprey" boot "$image" --offset 512
    check "$image" "$osprey" ls "$image" --offset 1M
}

cp "$kestrel_sample" "$work/k.imd"
damaged "$kestrel_sample" "$work/k-damaged.imd" 300
for image in "$work/k.imd" "$work/k-damaged.imd" "$work/k-damaged.imd.cut"; do
    kestrel_commands "$image"
done
cp "$tamarin_sample" "$work/t.imd"
damaged "$tamarin_sample" "$work/t-damaged.imd" 500
for image in "$work/t.imd" "$work/t-damaged.imd" "$work/t-damaged.imd.cut"; do
    tamarin_commands "$image"
done
cp "$osprey_sample" "$work/o.img"
damaged "$osprey_sample" "$work/o-damaged.img" 11
for image in "$work/o.img" "$work/o-damaged.img" "$work/o-damaged.img.cut"; do
    osprey_commands "$image"
done

echo "$commands commands, $failures failed"
[ "$failures" = 0 ]
