#!/bin/sh
# Checks a built plug-in DLL as a host and a user would see it:
#   check-dll.sh OBJDUMP WINDRES DLL MAGIC FILENAME
# MAGIC is 010b (PE32, i386) or 020b (PE32+, x86-64); FILENAME is the name
# the version resource must carry. Prints every difference; exit 1 on any.
set -u
objdump=$1 windres=$2 dll=$3 magic=$4 filename=$5
failures=0
fail() { echo "FAIL: $dll: $*"; failures=$((failures + 1)); }

[ -f "$dll" ] || { echo "FAIL: $dll does not exist"; exit 1; }
headers=$("$objdump" -p "$dll") || { echo "FAIL: objdump cannot read $dll"; exit 1; }

# Machine type.
case $magic in
    010b) format=pei-i386 ;;
    020b) format=pei-x86-64 ;;
    *) echo "unknown magic $magic"; exit 2 ;;
esac
echo "$headers" | grep -Eq "^Magic[[:space:]]+$magic" || fail "optional header magic is not $magic"
"$objdump" -f "$dll" | grep -q "file format $format" || fail "file format is not $format"
echo "$headers" | grep -Eq "^[[:space:]]+DLL$" || fail "not marked as a DLL"
# Hosts may load it anywhere, and its data is never executable.
for flag in DYNAMIC_BASE NX_COMPAT; do
    echo "$headers" | grep -Eq "^[[:space:]]+$flag$" || fail "DllCharacteristics lack $flag"
done
"$objdump" -h "$dll" | grep -q '[[:space:]]\.reloc[[:space:]]' || fail "no .reloc section, so it cannot be moved"

# Export table: exactly the six names with their ordinals.
base=$(echo "$headers" | sed -n 's/.*Ordinal Base \([0-9][0-9]*\).*/\1/p' | head -n 1)
exports=$(echo "$headers" | awk -v base="${base:-1}" '
    /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
    table && NF == 0 { table = 0 }
    table { gsub(/[][]/, " "); print $1 + base, $2 }' | sort -n)
expected="1 GetPluginInfo
2 GetPictureInfo
3 IsSupported
4 GetPicture
5 GetPreview
6 ConfigurationDlg"
if [ "$exports" != "$expected" ]; then
    fail "export table differs"
    echo "  expected:"; echo "$expected" | sed 's/^/    /'
    echo "  found:"; echo "$exports" | sed 's/^/    /'
fi
slots=$(echo "$headers" | sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-fA-F]*\)$/\1/p' | head -n 1)
[ "$slots" = 00000006 ] || fail "export address table has $slots entries, not 6"

# Imports: Windows system DLLs only, no MinGW runtime DLLs.
imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || fail "no imports found"
for name in $imports; do
    case $name in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|comdlg32.dll|msvcrt.dll) ;;
        *) fail "imports $name, which is not a Windows system DLL" ;;
    esac
done

# Version resource, Japanese, code page 932.
version=$("$windres" -i "$dll" -O rc 2>&1) || { fail "windres cannot read the resources"; version=; }
for line in \
    'LANGUAGE 17, 1' \
    'FILEVERSION 1, 0, 4, 0' \
    'BLOCK "041103A4"' \
    'VALUE "Translation", 0x411, 932' \
    'VALUE "FileVersion", "1.0.4.0"' \
    'VALUE "ProductVersion", "1.04"' \
    'VALUE "FileDescription", "Susie Plug-in"' \
    "VALUE \"InternalName\", \"$filename\"" \
    "VALUE \"OriginalFilename\", \"$filename\""; do
    echo "$version" | grep -qF "$line" || fail "version resource lacks: $line"
done

if [ $failures -eq 0 ]; then
    echo "ok: $dll ($format, six exports, imports: $(echo $imports))"
    exit 0
fi
exit 1
