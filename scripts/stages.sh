#!/bin/sh
# Runs make targets one after the other, stops at the first that fails, and
# ends with the time each one took.  Usage: stages.sh TARGET...
set -u
summary=""
total_start=$(date +%s)
for stage in "$@"; do
    start=$(date +%s)
    echo "=== make $stage"
    if ! make --no-print-directory "$stage"; then
        echo "=== make $stage FAILED after $(( $(date +%s) - start )) s"
        exit 1
    fi
    summary="$summary$(printf '  %-14s %4d s' "$stage" $(( $(date +%s) - start )))
"
done
echo "=== stages"
printf '%s' "$summary"
printf '  %-14s %4d s\n' total $(( $(date +%s) - total_start ))
