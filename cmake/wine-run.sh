#!/bin/sh
# Runs a Windows program under Wine for CTest. Wine's helper processes inherit stdout and stderr and
# outlive the program; if those were CTest's pipes, CTest would wait for them. So Wine writes to files.
: "${WINEDEBUG:=-all}"; export WINEDEBUG
out=$(mktemp) && err=$(mktemp) || exit 125
wine "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"; cat "$err" >&2; rm -f "$out" "$err"
exit $rc
