#!/usr/bin/env bash
# Several programs change one image at the same time: three adds, a wipe of the free space and
# a reader, round after round. Each writer waits for the one before; afterwards fsck.cpm finds
# nothing to mend and cpmcp extracts every added file byte for byte. Every other round the image
# is an ImageDisk file, which each change makes anew: a writer that waited follows the new file.
set -u
q=$1
peer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work
bash "$peer/make_cpmtools_home.sh" "$work"
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for round in $(seq 20); do
  img=$work/r$round.img
  "$q" new "$img" >/dev/null
  target=$img
  if [ $((round % 2)) = 0 ]; then
    target=$work/r$round.imd
    dsktrans -itype raw -otype imd -format ibm3740-fm "$img" "$target" >/dev/null 2>&1
  fi
  head -c $((round * 1500)) /dev/urandom >a.dat
  head -c $((round * 2100 + 7)) /dev/urandom >b.dat
  head -c $((30000 - round * 700)) /dev/urandom >c.dat
  pids=()
  for command in "add $target a.dat" "add $target b.dat" "wipe-free $target --fill 0" \
    "add $target c.dat"; do
    "$q" $command >/dev/null 2>"$work/err" &
    pids+=($!)
  done
  mkdir "out$round" && "$q" get "$target" '*.*' "out$round" >/dev/null 2>&1
  [ $? -lt 2 ] || fail "round $round: a reader beside the writers failed"
  for pid in "${pids[@]}"; do wait "$pid" || fail "round $round: a writer failed"; done
  if [ "$target" != "$img" ]; then
    dsktrans -itype imd -otype raw -format ibm3740-fm "$target" "$img" >/dev/null 2>&1 ||
      fail "round $round: dsktrans cannot read $target"
  fi
  report=$(fsck.cpm -n -T raw -f IBM-3740 "$img" 2>&1)
  grep -qi error <<<"$report" && fail "round $round: $report"
  for f in a b c; do
    cpmcp -T raw -f IBM-3740 "$img" "0:$f.dat" got 2>/dev/null && cmp -s got "$f.dat" ||
      fail "round $round: $f.dat differs"
    rm -f got
  done
done
echo "$failures failed"
[ "$failures" = 0 ]
