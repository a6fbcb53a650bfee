#!/bin/sh
# Quick start, first command: installs what is missing, builds everything
# (native, Pallowin.spi, Pallowin.sph) and runs the main job.
set -eu
. "$(dirname "$0")/common.sh"

install_packages
configure_and_build

stage "What a host sees from GetPluginInfo"
"$PALLOWIN_BUILD_DIR/tools/plugininfo/pallowin-plugininfo" "$PALLOWIN_BUILD_DIR/plugin/libpallowin.so"

stage "The plug-ins"
for dll in "$PALLOWIN_BUILD_DIR/win32/plugin/Pallowin.spi" "$PALLOWIN_BUILD_DIR/win64/plugin/Pallowin.sph"; do
    if [ -f "$dll" ]; then
        echo "$dll ($(wc -c < "$dll") bytes)"
    else
        echo "$dll was not built (are the MinGW-w64 cross compilers installed?)" >&2
        exit 1
    fi
done

# --- The example drawings, rendered to PNG by the command-line tool --------
stage "The example drawings (examples/) rendered to PNG"
cmake --build "$PALLOWIN_BUILD_DIR" --target examples-png
for png in "$PALLOWIN_BUILD_DIR"/examples-png/*.png; do
    echo "$png"
done
"$PALLOWIN_BUILD_DIR/tools/pallowin/pallowin" info "$PALLOWIN_ROOT/examples/floorplan.jwc"
