#!/bin/sh
# The native plug-in library exports the six functions and nothing else.
#   check-so.sh NM LIBRARY
set -u
nm=$1 library=$2
[ -f "$library" ] || { echo "FAIL: $library does not exist"; exit 1; }
found=$("$nm" -D --defined-only "$library" | awk '{ print $2, $3 }' | sort)
expected=$(printf 'T %s\n' ConfigurationDlg GetPictureInfo GetPicture GetPluginInfo GetPreview IsSupported | sort)
if [ "$found" != "$expected" ]; then
    echo "FAIL: $library exports differ"
    echo "  expected:"; echo "$expected" | sed 's/^/    /'
    echo "  found:"; echo "$found" | sed 's/^/    /'
    exit 1
fi
echo "ok: $library exports exactly the six functions"
