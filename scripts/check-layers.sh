#!/usr/bin/env bash
# Checks that every #include under src/ keeps to the layer order: a file may
# include its own layer and the layers below it, never a layer above it nor a
# sibling of its own rank. Prints each offending line with the rule it breaks
# and fails when there is one. The order is the one in doc/architecture.md.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A rank=(
    [platform]=0
    [settings]=1
    [catalog]=2
    [text]=3
    [archive]=4 [fileinfo]=4
    [scan]=5 [search]=5 [output]=5
    [session]=6
    [app]=7 [gui]=7 [ipc]=7
    [main]=8
)

status=0
while IFS= read -r file; do
    layer=${file#src/}
    layer=${layer%%/*}
    if [[ -z ${rank[$layer]+x} ]]; then
        echo "$file: folder src/$layer is no layer (add it to scripts/check-layers.sh and doc/architecture.md)"
        status=1
        continue
    fi
    while IFS=: read -r line target; do
        to=${target%%/*}
        [[ $to == "$layer" ]] && continue
        if [[ -z ${rank[$to]+x} ]]; then
            echo "$file:$line: includes \"$target\" from src/$to, which is no layer"
            status=1
        elif ((rank[$to] >= rank[$layer])); then
            if ((rank[$to] == rank[$layer])); then
                why="$to and $layer are siblings and may not include each other"
            else
                why="$to lies above $layer"
            fi
            echo "$file:$line: includes \"$target\": $why (allowed: layers below $layer only)"
            status=1
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$file" |
             sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">].*/\1:\2\3/' |
             while IFS=: read -r n t; do
                 # "..." includes are ours; a <...> include only when it names one of our folders.
                 if [[ $t == \"* ]]; then
                     echo "$n:${t#\"}"
                 else
                     t=${t#<}
                     [[ $t == */* && -n ${rank[${t%%/*}]+x} ]] && echo "$n:$t"
                 fi
             done)
done < <(find src -type f | sort)

if ((status)); then
    echo "layer check failed: see doc/architecture.md for the order of the layers"
fi
exit $status
