#!/bin/sh
# Quick start, second command: installs what is missing, builds everything
# and runs the whole test suite, the wine tests included. Each stage stops
# the run when it fails; later stages append below.
set -eu
. "$(dirname "$0")/common.sh"

install_packages
configure_and_build

stage "Running the tests (native, binary checks, wine)"
ctest --test-dir "$PALLOWIN_BUILD_DIR" --output-on-failure -j "$PALLOWIN_JOBS"
