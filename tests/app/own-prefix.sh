#!/bin/sh
# Runs a Windows test program under Wine in a prefix of its own, for tests
# that change the user's settings (the screen density): a registry of its
# own, copied from the test prefix, and a Wine server of its own, with the
# test prefix's Windows folder shared. Made anew for every run in a moment,
# where setting up a prefix takes Windows' whole start-up.
# Arguments: the test prefix, the prefix to make, the program and its arguments.
base=$1
own=$2
shift 2
WINEPREFIX=$own wineserver -k >/dev/null 2>&1
rm -rf "$own"
mkdir -p "$own/dosdevices" || exit 1
cp "$base/system.reg" "$base/user.reg" "$base/userdef.reg" "$base/.update-timestamp" "$own/" || exit 1
ln -s "$base/drive_c" "$own/drive_c"
ln -s ../drive_c "$own/dosdevices/c:"
ln -s / "$own/dosdevices/z:"
"$(dirname "$0")/../../cmake/wine-run.sh" "$own" "$@"
rc=$?
WINEPREFIX=$own wineserver -k >/dev/null 2>&1
exit $rc
