#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program with the given
# arguments. Without arguments it scans the documentation folder doc/ as a
# medium into a fresh catalogue directory below /tmp and lists the media
# stored there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DORBISTO_TESTS=OFF -DORBISTO_BENCH=OFF
if (($# == 0)); then
    work=$(mktemp -d /tmp/orbisto-run.XXXXXX)
    echo "Scanning doc/ into the catalogue directory $work/cds"
    ORBISTO_HOME="$work" ./build/orbisto --dir "$work/cds" --drive doc --label "Orbisto docs"
    ORBISTO_HOME="$work" exec ./build/orbisto --dir "$work/cds" media
fi
exec ./build/orbisto "$@"
