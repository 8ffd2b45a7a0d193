#!/bin/sh
# Runs a Windows test program under Wine with the project's prefix and
# Italian regional settings. First argument: the Wine prefix folder.
#
# The output goes through a file: Wine's helper processes (services, the
# desktop) inherit the standard handles and outlive the program, and CTest
# would otherwise wait for them to close its pipe.
WINEPREFIX=$1; shift
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=it_IT.UTF-8
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
