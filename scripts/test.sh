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

# ---- Hardening: sanitizers and fuzzing --------------------------------------
# The native tests once more under ASan and UBSan, then every fuzz target for
# PALLOWIN_FUZZ_SECONDS (default 180) each; a crash, leak, sanitizer report,
# failed property or hang of an input fails the run. PALLOWIN_FUZZ_SECONDS=0
# skips the fuzzing (the sanitizer run still happens).
. "$PALLOWIN_ROOT/scripts/fuzz.sh"
run_sanitized_tests
if [ "${PALLOWIN_FUZZ_SECONDS:-180}" -gt 0 ]; then
    configure_fuzz_build
    for target in $PALLOWIN_FUZZ_TARGETS; do
        run_fuzz_target "$target" "${PALLOWIN_FUZZ_SECONDS:-180}"
    done
fi
