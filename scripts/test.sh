#!/usr/bin/env bash
# Installs what is missing, checks the formatting of the changed C++ code,
# then builds and runs every test twice: a normal build in build/ and an
# AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/. Last,
# the fuzz targets are built with Clang in build-fuzz/ and each runs for 10 s
# on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)

# No include may run against the order of the layers, and changed lines
# follow .clang-format.
bash scripts/check-layers.sh
bash scripts/check-format.sh

bash scripts/build.sh build -DORBISTO_SANITIZE=OFF -DORBISTO_TESTS=ON -DORBISTO_BENCH=ON
(cd build && ctest --output-on-failure -j"$jobs")

bash scripts/build.sh build-asan -DORBISTO_SANITIZE=ON -DORBISTO_TESTS=ON -DORBISTO_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j"$jobs")

start=$SECONDS
bash scripts/fuzz.sh 10
echo "fuzz stage: $((SECONDS - start)) s"
