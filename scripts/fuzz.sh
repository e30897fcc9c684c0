#!/usr/bin/env bash
# Builds the libFuzzer targets with Clang in build-fuzz/ and runs each for
# SECONDS (default 10) on a copy of its committed corpus tests/fuzz/corpus/NAME
# (the committed corpus is never written). Fails when any target fails; the
# input that made it fail is kept in build-fuzz/crashes/NAME/.
#
# Usage: scripts/fuzz.sh [SECONDS] [NAME...]   (all targets without NAME)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
shift || true
build=build-fuzz

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# A unity build (several files of a layer compiled as one): the layers build
# in about 60 % of the CPU time, and the targets are built whole each
# time anyway.
start=$SECONDS
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORBISTO_FUZZ=ON -DCMAKE_UNITY_BUILD=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    "${launcher[@]}" >/dev/null
ninja -C "$build" fuzz
echo "fuzz: targets built in $((SECONDS - start)) s"

targets=("$@")
if ((${#targets[@]} == 0)); then
    for src in tests/fuzz/*_fuzz.cpp; do
        name=${src##*/}
        targets+=("${name%.cpp}")
    done
fi

work=$(mktemp -d /tmp/orbisto-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Runs one target; its log goes to $work/NAME.log.
run_one() {
    local name=$1 dir=$work/$1
    mkdir -p "$dir/corpus" "$dir/crash"
    if [[ -d tests/fuzz/corpus/$name ]]; then cp -R "tests/fuzz/corpus/$name/." "$dir/corpus/"; fi
    # -timeout: an input that takes this long is a fault of its own (a hang).
    "$build/fuzz/$name" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$dir/crash/" "$dir/corpus" >"$work/$name.log" 2>&1
}

# As many targets at once as there are cores.
declare -A pid_of
failed=()
jobs_max=$(nproc)
for name in "${targets[@]}"; do
    if [[ ! -x $build/fuzz/$name ]]; then
        echo "fuzz: no target $name" >&2
        exit 2
    fi
    while (($(jobs -rp | wc -l) >= jobs_max)); do wait -n || true; done
    run_one "$name" &
    pid_of[$name]=$!
done

for name in "${targets[@]}"; do
    status=0
    wait "${pid_of[$name]}" || status=$?
    log=$work/$name.log
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if ((status == 0)); then
        printf 'fuzz: %-26s ok, %s runs in %s s\n' "$name" "${runs:-?}" "$seconds"
        continue
    fi
    failed+=("$name")
    mkdir -p "$build/crashes/$name"
    cp -R "$work/$name/crash/." "$build/crashes/$name/"
    echo "fuzz: $name FAILED (exit $status); its log ends:" >&2
    tail -n 60 "$log" >&2
    echo "fuzz: the input is kept in $build/crashes/$name/; run it again with" \
        "$build/fuzz/$name FILE" >&2
done

if ((${#failed[@]})); then
    echo "fuzz: ${#failed[@]} target(s) failed: ${failed[*]}" >&2
    exit 1
fi
