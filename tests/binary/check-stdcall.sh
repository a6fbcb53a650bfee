#!/bin/sh
# The i686 exports are stdcall with the argument bytes hosts push: the
# decorated names in the plug-in library say so (GetPluginInfo@12 and so on).
#   check-stdcall.sh NM LIBRARY
set -u
nm=$1 library=$2
[ -f "$library" ] || { echo "FAIL: $library does not exist"; exit 1; }
symbols=$("$nm" "$library" 2>/dev/null)
failures=0
for expected in GetPluginInfo@12 GetPictureInfo@16 IsSupported@8 GetPicture@28 GetPreview@28 ConfigurationDlg@8; do
    if ! echo "$symbols" | grep -Eq " T _$expected\$"; then
        echo "FAIL: no stdcall definition _$expected in $library"
        failures=$((failures + 1))
    fi
done
[ $failures -eq 0 ] && echo "ok: the six exports are stdcall with the host's argument sizes"
[ $failures -eq 0 ]
