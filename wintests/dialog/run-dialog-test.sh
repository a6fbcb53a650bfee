#!/bin/sh
# Runs the settings dialog test under wine64 on the X display given in
# DISPLAY (see scripts/with-xvfb.sh), in a wine prefix of its own so that its
# desktop has a display and its font mapping touches no other test:
#   run-dialog-test.sh EXE SCREENSHOT_FOLDER [CASE]
# The dialog's font name is mapped to the IPA P Gothic font; the test's BMP
# screenshots are converted to PNG afterwards.
set -u
[ $# -ge 2 ] || { echo "usage: run-dialog-test.sh EXE SCREENSHOT_FOLDER [CASE]" >&2; exit 2; }
exe=$1
shots=$2
shift 2
[ -f "$exe" ] || { echo "run-dialog-test.sh: no such program: $exe" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "run-dialog-test.sh: no DISPLAY (run it through with-xvfb.sh)" >&2; exit 2; }

WINE=${PALLOWIN_WINE64:-/usr/lib/wine/wine64}
WINESERVER=${PALLOWIN_WINESERVER:-/usr/lib/wine/wineserver}
build=${PALLOWIN_BUILD:-$(cd "$(dirname "$exe")/../../.." && pwd)}
WINEPREFIX=$build/wineprefix-dialog
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
export HOME="${HOME:-/tmp}"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot --init >/dev/null 2>&1
fi
# Wine draws the caption buttons with Marlett, which it finds only among the
# prefix's fonts.
for font in /usr/share/wine/fonts/marlett.ttf; do
    [ -f "$font" ] && cp -f "$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
done
fc-list 2>/dev/null | grep -q IPAPGothic ||
    echo "run-dialog-test.sh: the IPA P Gothic font is missing (package fonts-ipafont-gothic)" >&2
# A virtual desktop, so that wine draws the window frames itself and a
# screenshot of a window shows its caption; and the font mapping: the
# dialog's font name to IPA P Gothic.
reg=$WINEPREFIX/pallowin-dialog.reg
{
    printf '\357\273\277Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"\357\274\255\357\274\263 \357\274\260\343\202\264\343\202\267\343\203\203\343\202\257"="IPAPGothic"\r\n'
    # Captions use wine's Tahoma, which links to this font for Japanese.
    printf '"MS UI Gothic"="IPAPGothic"\r\n'
} | iconv -f UTF-8 -t UTF-16LE > "$reg"
"$WINE" regedit /S "$(printf 'Z:%s' "$reg" | tr / '\\\\')" >/dev/null 2>&1
"$WINESERVER" -w

mkdir -p "$shots"
rm -f "$shots"/*.bmp
"$WINE" "$exe" "Z:$shots" "$@"
status=$?
"$WINESERVER" -k 2>/dev/null

if command -v convert >/dev/null 2>&1; then
    for bmp in "$shots"/*.bmp; do
        [ -f "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
fi
exit $status
