#!/bin/sh
# Runs a Windows program under wine64 and passes its exit code through.
#   run-wine.sh EXE [ARGS...]   run EXE
#   run-wine.sh --init          make the wine prefix (once; later calls return at once)
# The prefix is $PALLOWIN_BUILD/wineprefix; without PALLOWIN_BUILD it lies in
# the build tree that holds EXE (the folder above its win64 folder).
set -u

WINE=${PALLOWIN_WINE64:-/usr/lib/wine/wine64}
WINESERVER=${PALLOWIN_WINESERVER:-/usr/lib/wine/wineserver}

build_dir_of() {
    dir=$(cd "$(dirname "$1")" && pwd)
    while [ "$dir" != / ]; do
        if [ "$(basename "$dir")" = win64 ]; then
            dirname "$dir"
            return
        fi
        dir=$(dirname "$dir")
    done
    cd "$(dirname "$1")" && pwd
}

if [ "${1:-}" = --init ]; then
    build=${PALLOWIN_BUILD:-$(pwd)}
else
    [ $# -ge 1 ] || { echo "usage: run-wine.sh EXE [ARGS...] | --init" >&2; exit 2; }
    build=${PALLOWIN_BUILD:-$(build_dir_of "$1")}
fi

WINEPREFIX=$build/wineprefix
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
# Wine needs a home it may write to, and no display is needed for the tests.
export HOME="${HOME:-/tmp}"
unset DISPLAY

if [ "$1" = --init ]; then
    if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.pallowin-ready" ]; then
        exit 0
    fi
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot --init >/dev/null 2>&1
    status=$?
    "$WINESERVER" -w
    if [ $status -ne 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "run-wine.sh: could not make the wine prefix $WINEPREFIX (wineboot answered $status)" >&2
        exit 1
    fi
    touch "$WINEPREFIX/.pallowin-ready"
    exit 0
fi

exe=$1
shift
if [ ! -f "$exe" ]; then
    echo "run-wine.sh: no such program: $exe" >&2
    exit 2
fi
exec "$WINE" "$exe" "$@"
