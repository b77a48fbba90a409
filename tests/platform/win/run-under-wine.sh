#!/bin/sh
# Runs the cross-built Windows test program under Wine.
# Usage: run-under-wine.sh WINE64 WINEPREFIX PROGRAM
# The prefix lives in the build folder and is made once (its first start is slow).
# Exits 77, which ctest reports as skipped, when the program was not built or Wine
# cannot start here; the message says why.
set -u
wine64=$1
prefix=$2
program=$3

skip() {
    echo "SKIP: $*"
    exit 77
}

[ -f "$program" ] || skip "the Windows test program was not built (x86_64-w64-mingw32-g++-posix missing at configure time)"
[ -x "$wine64" ] || skip "wine64 is not installed (Debian package wine64)"

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No Mono or Gecko download prompts, no menu entries in the user's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
wineserver="$(dirname "$wine64")/wineserver"

if [ ! -f "$prefix/.orbisk-prefix-ready" ]; then
    echo "Making the Wine prefix $prefix (once per build folder) ..."
    rm -rf "$prefix"
    "$wine64" wineboot --init || skip "Wine cannot start here: wineboot failed"
    "$wineserver" -w
    touch "$prefix/.orbisk-prefix-ready"
fi

"$wine64" "$program"
status=$?
# Leave no Wine server behind for this prefix.
"$wineserver" -w
exit $status
