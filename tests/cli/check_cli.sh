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
rm -f /tmp/cli_out.$$
echo "$failures failed"
[ "$failures" = 0 ]
