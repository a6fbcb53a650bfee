#!/bin/sh
# Runs the libFuzzer targets by hand, for longer than CI does:
#   scripts/fuzz.sh TARGET [SECONDS]     one target (default 600 seconds)
#   scripts/fuzz.sh all [SECONDS]        every target in turn
#   scripts/fuzz.sh list                 the targets
# Builds the fuzz build (clang, ASan + UBSan + libFuzzer) in
# $PALLOWIN_BUILD_DIR/fuzzers first. Inputs that add coverage are kept in
# fuzz/corpus/TARGET of that build, so runs build on each other; a crash,
# leak, sanitizer report, failed property or timeout stops the run, leaves
# the input in fuzz/artifacts/ and makes the script fail.
set -eu
. "$(dirname "$0")/common.sh"

PALLOWIN_FUZZ_TARGETS="is_supported picture_info drawing_picture figure_picture settings_load"
# Not build/fuzz: that is where the main build puts its own fuzz/ folder.
PALLOWIN_FUZZ_DIR=${PALLOWIN_FUZZ_DIR:-$PALLOWIN_BUILD_DIR/fuzzers}
# A single input that runs this long is a hang.
PALLOWIN_FUZZ_INPUT_TIMEOUT=${PALLOWIN_FUZZ_INPUT_TIMEOUT:-5}

configure_fuzz_build() {
    stage "Configuring and building the fuzz targets in $PALLOWIN_FUZZ_DIR"
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
    CC=clang CXX=clang++ cmake -S "$PALLOWIN_ROOT" -B "$PALLOWIN_FUZZ_DIR" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALLOWIN_CROSS=OFF -DPALLOWIN_FUZZ=ON \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
        -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
    cmake --build "$PALLOWIN_FUZZ_DIR" -j "$PALLOWIN_JOBS" --target fuzz-targets
}

# The native test suite once more, built with ASan and UBSan (no cross
# builds, so no wine tests) in $PALLOWIN_BUILD_DIR/asan; any sanitizer report
# or leak fails its test. GCC, whose shared sanitizer runtime also serves
# libpallowin.so (linked with --no-undefined).
run_sanitized_tests() {
    asan_dir=${PALLOWIN_ASAN_DIR:-$PALLOWIN_BUILD_DIR/asan}
    stage "Building the native tests with ASan and UBSan in $asan_dir"
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    CC=gcc CXX=g++ cmake -S "$PALLOWIN_ROOT" -B "$asan_dir" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALLOWIN_CROSS=OFF \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
        -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
    ASAN_OPTIONS=detect_leaks=1 cmake --build "$asan_dir" -j "$PALLOWIN_JOBS"
    stage "Running the native tests under ASan and UBSan"
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1:detect_stack_use_after_return=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        ctest --test-dir "$asan_dir" --output-on-failure -j "$PALLOWIN_JOBS" -L native -LE wine
}

# run_fuzz_target TARGET SECONDS: fails on any finding.
run_fuzz_target() {
    target=$1
    seconds=$2
    bin=$PALLOWIN_FUZZ_DIR/fuzz
    corpus=$bin/corpus/$target
    artifacts=$bin/artifacts
    mkdir -p "$corpus" "$artifacts"
    stage "Fuzzing $target for $seconds seconds"
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        "$bin/$target" -max_total_time="$seconds" -timeout="$PALLOWIN_FUZZ_INPUT_TIMEOUT" \
        -rss_limit_mb=2048 -max_len=20000 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$corpus" "$bin/seeds/$target" \
        >"$artifacts/$target.log" 2>&1 || {
        tail -n 60 "$artifacts/$target.log"
        echo "fuzz target $target failed; its log and input are in $artifacts" >&2
        return 1
    }
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$artifacts/$target.log" || true
}

# Only run the commands when this file is run, not when it is sourced.
if [ "$(basename "$0")" = fuzz.sh ]; then
    what=${1:-}
    case $what in
        ""|-h|--help)
            sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
            exit 2 ;;
        list)
            echo "$PALLOWIN_FUZZ_TARGETS" | tr ' ' '\n'
            exit 0 ;;
    esac
    seconds=${2:-600}
    configure_fuzz_build
    if [ "$what" = all ]; then
        for target in $PALLOWIN_FUZZ_TARGETS; do run_fuzz_target "$target" "$seconds"; done
    else
        echo " $PALLOWIN_FUZZ_TARGETS " | grep -q " $what " || { echo "no fuzz target $what" >&2; exit 2; }
        run_fuzz_target "$what" "$seconds"
    fi
fi
