#!/usr/bin/env bash
# Checks with clang-format (the repository's .clang-format) that the C++ code
# changed since a base commit is formatted. Prints each file that is not and
# fails then. Only changed lines are judged, so a fix in an old file is not
# held to the lines around it.
#
# Usage: scripts/check-format.sh [BASE]
# BASE defaults to where HEAD left origin/main when that lies behind HEAD,
# else to the last commit (HEAD~1). A clone without a parent commit has every
# tracked C++ file under src, tests and bench checked whole.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
    echo "check-format: clang-format is missing (scripts/install-deps.sh installs it)" >&2
    exit 2
fi

base=${1:-}
if [[ -z $base ]]; then
    head=$(git rev-parse HEAD)
    if fork=$(git merge-base HEAD origin/main 2>/dev/null) && [[ $fork != "$head" ]]; then
        base=$fork
    elif git rev-parse -q --verify 'HEAD~1^{commit}' >/dev/null; then
        base=HEAD~1
    fi
fi

unformatted=()
if [[ -n $base ]]; then
    if ! git rev-parse -q --verify "$base^{commit}" >/dev/null; then
        echo "check-format: $base is no commit" >&2
        exit 2
    fi
    # git clang-format prints a diff of what it would change in the lines
    # changed since the base (working tree included), or one of two
    # sentences when there is nothing to change.
    out=$(git clang-format --diff --extensions c,cc,cpp,h,hpp "$base" --)
    case $out in
        "" | "no modified files to format" | "clang-format did not modify any files") ;;
        *)
            mapfile -t unformatted < <(sed -n 's|^+++ b/||p' <<<"$out")
            if ((${#unformatted[@]} == 0)); then
                echo "check-format: unexpected output of git clang-format:" >&2
                echo "$out" >&2
                exit 2
            fi
            ;;
    esac
    what="changed since $(git rev-parse --short "$base")"
    fix="git clang-format $base"
else
    while IFS= read -r -d '' f; do
        clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
    done < <(git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
        'bench/*.cpp' 'bench/*.h')
    what="in the tree"
    fix="clang-format -i FILE"
fi

if ((${#unformatted[@]})); then
    echo "check-format: C++ code $what is not formatted as .clang-format says:" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    echo "format it with: $fix" >&2
    exit 1
fi
echo "check-format: C++ code $what is formatted"
