#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs: the programs, valid
# launchers that name the image types, icons, the MIME type and man pages that carry --help.
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures+1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for program in kestrel quarry tamarin osprey; do
    [ -x "$prefix/bin/$program" ] || fail "$program not installed"
    launcher="$prefix/share/applications/$program.desktop"
    desktop-file-validate "$launcher" || fail "$launcher is not valid"
    grep -q "^Exec=$program %f$" "$launcher" || fail "$launcher does not start $program on a file"
    [ -s "$prefix/share/icons/hicolor/scalable/apps/$program.svg" ] || fail "$program icon"
    page="$prefix/share/man/man1/$program.1"
    grep -q "^.TH ${program^^} 1" "$page" || fail "$page has no title"
    grep -q -- "--version" "$page" || fail "$page lacks the options"
    # The installed program finds its window module below the prefix: the window stays open
    # until the time-out ends it, where a missing module ends the program at once with status 1.
    QT_QPA_PLATFORM=offscreen timeout 2 "$prefix/bin/$program" 2>"$prefix/window.err"
    status=$?
    [ "$status" = 124 ] || fail "$program window from the installed tree: status $status, $(cat "$prefix/window.err")"
done
grep -q "application/x-imagedisk" "$prefix/share/applications/kestrel.desktop" || fail "kestrel MIME"
grep -q "application/x-imagedisk" "$prefix/share/applications/tamarin.desktop" || fail "tamarin MIME"
grep -q "application/x-raw-disk-image" "$prefix/share/applications/osprey.desktop" || fail "osprey MIME"
grep -q '<glob pattern="\*.imd"/>' "$prefix/share/mime/packages/vintage-disk-images.xml" || fail "MIME type"
# Each command of a program has its own section in the man page.
grep -q '^.SS info$' "$prefix/share/man/man1/kestrel.1" || fail "kestrel.1 lacks the info command"
echo "$failures failed"
[ "$failures" = 0 ]
