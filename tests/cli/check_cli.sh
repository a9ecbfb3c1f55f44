#!/usr/bin/env bash
# The command-line contract every program keeps: --version, --help, and exit status 2 for bad
# usage, all without a display.
set -u
kestrel=$1 quarry=$2 tamarin=$3 osprey=$4
failures=0
check() { # description, expected status, command...
    local what=$1 want=$2; shift 2
    "$@" >/tmp/cli_out.$$ 2>&1
    local got=$?
    if [ "$got" != "$want" ]; then
        echo "FAIL: $what: exit $got, expected $want"; cat /tmp/cli_out.$$; failures=$((failures+1))
    fi
}
expect_line() { # description, expected first line, command...
    local what=$1 want=$2; shift 2
    local got; got=$("$@" 2>&1 | head -n 1)
    if [ "$got" != "$want" ]; then echo "FAIL: $what: got '$got', expected '$want'"; failures=$((failures+1)); fi
}
unset DISPLAY WAYLAND_DISPLAY
for p in kestrel quarry tamarin osprey; do
    exe=${!p}
    expect_line "$p --version" "$p 0.1.0" "$exe" --version
    check "$p --help" 0 "$exe" --help
    grep -q "Usage: $p" /tmp/cli_out.$$ || { echo "FAIL: $p --help shows no usage"; failures=$((failures+1)); }
    check "$p unknown command" 2 "$exe" no-such-command extra
    check "$p unknown option" 2 "$exe" --no-such-option
done
# Without arguments each program opens its window, which it loads from its window module: the
# window is still up after a few seconds (offscreen) instead of the program ending with "the
# window cannot open".
pids=()
for p in kestrel quarry tamarin osprey; do
    QT_QPA_PLATFORM=offscreen timeout 3 "${!p}" >/tmp/cli_window.$$.$p 2>&1 &
    pids+=($!)
done
i=0
for p in kestrel quarry tamarin osprey; do
    wait "${pids[$i]}"
    got=$?
    i=$((i + 1))
    if [ "$got" != 124 ]; then
        echo "FAIL: $p without arguments: exit $got, expected the window to stay open"
        cat /tmp/cli_window.$$.$p; failures=$((failures+1))
    fi
    rm -f /tmp/cli_window.$$.$p
done
rm -f /tmp/cli_out.$$
echo "$failures failed"
[ "$failures" = 0 ]
