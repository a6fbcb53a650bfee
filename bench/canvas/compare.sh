#!/bin/sh
# Runs the canvas benchmark and, when the Windows build is there, the same
# work through GDI under wine64; prints both and their ratios.
#   compare.sh CANVAS_BENCH RUN_WINE GDI_ORACLE_EXE
set -u
native=$1 runwine=$2 gdi=$3
ours=$("$native") || exit 1
echo "$ours"
if [ -z "$gdi" ] || [ ! -f "$gdi" ]; then
    echo "no GDI figures (the Windows build or wine64 is missing)"
    exit 0
fi
"$runwine" --init || exit 1
theirs=$("$runwine" "$gdi" --bench) || exit 1
echo "$theirs"
printf '%s\n%s\n' "$ours" "$theirs" | awk '
    $1 == "canvas" { ours[$2] = $3 }
    $1 == "gdi"    { gdi[$2] = $3 }
    END {
        for (k in ours) if (k in gdi && gdi[k] > 0)
            printf "ratio %s %.1f\n", k, ours[k] / gdi[k]
    }' | sort
