#!/usr/bin/env bash
# Installs what is missing, checks the layers and the formatting of the
# changed C++ code, then builds and runs every test twice: a normal build in
# build/ and an AddressSanitizer + UndefinedBehaviorSanitizer build in
# build-asan/. Last, the fuzz targets are built with Clang in build-fuzz/ and
# each runs for 6 s on its seed corpus.
#
# The sanitizer and fuzz builds are unity builds (several source files of a
# target compiled as one, so GoogleTest and the standard headers are read and
# instantiated once per batch, not once per file), which cuts their compile
# time by about 40 %; the normal build compiles each file on its own, so a
# file that misses an include it needs still fails there. Each stage prints
# its wall time ("stage NAME: N s").
set -euo pipefail
cd "$(dirname "$0")/.."

# Runs a stage and prints how long it took.
stage() {
    local name=$1 start=$SECONDS
    shift
    "$@"
    echo "stage $name: $((SECONDS - start)) s"
}

# Runs the tests of one build directory.
run_ctest() {
    (cd "$1" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --output-on-failure -j"$(nproc)")
}

stage install-deps bash scripts/install-deps.sh

# No include may run against the order of the layers, and changed lines
# follow .clang-format.
stage check-layers bash scripts/check-layers.sh
stage check-format bash scripts/check-format.sh

# Line tables only (-g1): enough for the sanitizers' stack traces and a
# backtrace, and it spares about 40 % of the compile time of a test file,
# most of which goes into the debug information of GoogleTest's templates.
# GoogleTest's header is precompiled once for all test programs.
flags=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DORBISTO_TEST_PCH=ON)

stage build bash scripts/build.sh build "${flags[@]}" -DORBISTO_SANITIZE=OFF -DORBISTO_TESTS=ON \
    -DORBISTO_BENCH=ON
stage ctest run_ctest build

stage build-asan bash scripts/build.sh build-asan "${flags[@]}" -DORBISTO_SANITIZE=ON \
    -DORBISTO_TESTS=ON -DORBISTO_BENCH=OFF -DCMAKE_UNITY_BUILD=ON
stage ctest-asan run_ctest build-asan

stage fuzz bash scripts/fuzz.sh 6

echo "all stages: $SECONDS s"
