#!/bin/sh
# Runs a Windows program under wine64 and passes its exit code through.
#   run-wine.sh EXE [ARGS...]   run EXE
#   run-wine.sh --init          make the wine prefix (once; later calls return at once)
#   run-wine.sh --stop          stop the prefix's wine server and its processes
# The prefix is $PALLOWIN_BUILD/wineprefix; without PALLOWIN_BUILD it lies in
# the build tree that holds EXE (the folder above its win64 folder).
set -u

WINE=${PALLOWIN_WINE64:-/usr/lib/wine/wine64}
# The server binary itself: Debian's wrapper script forces -p0, which would
# end the server, and wine's start-up cost, after every program.
if [ -z "${PALLOWIN_WINESERVER:-}" ] && [ -x /usr/lib/wine/wineserver64 ]; then
    WINESERVER=/usr/lib/wine/wineserver64
else
    WINESERVER=${PALLOWIN_WINESERVER:-/usr/lib/wine/wineserver}
fi

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

if [ "${1:-}" = --init ] || [ "${1:-}" = --stop ]; then
    build=${PALLOWIN_BUILD:-$(pwd)}
else
    [ $# -ge 1 ] || { echo "usage: run-wine.sh EXE [ARGS...] | --init | --stop" >&2; exit 2; }
    build=${PALLOWIN_BUILD:-$(build_dir_of "$1")}
fi

WINEPREFIX=$build/wineprefix
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
# Wine needs a home it may write to.
export HOME="${HOME:-/tmp}"

# Wine's background processes (services, device manager) live as long as the
# server and keep the output of the program that started them open, so a
# reader of that output (CTest) would wait for them to end. Start the
# server and those processes detached; when they run already this takes
# a few milliseconds.
warm_up() {
    "$WINESERVER" -p30 </dev/null >/dev/null 2>&1
    "$WINE" cmd /c exit </dev/null >/dev/null 2>&1
}

if [ "$1" = --stop ]; then
    [ -d "$WINEPREFIX" ] && "$WINESERVER" -k >/dev/null 2>&1
    exit 0
fi

if [ "$1" = --init ]; then
    if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.pallowin-ready" ]; then
        warm_up
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
    warm_up
    exit 0
fi

exe=$1
shift
warm_up

if [ ! -f "$exe" ]; then
    echo "run-wine.sh: no such program: $exe" >&2
    exit 2
fi
exec "$WINE" "$exe" "$@"
