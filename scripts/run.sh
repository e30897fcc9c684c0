#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program with the given
# arguments (default: --help).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DORBISTO_TESTS=OFF -DORBISTO_BENCH=OFF
if (($# == 0)); then set -- --help; fi
exec ./build/orbisto "$@"
