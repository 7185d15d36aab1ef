#!/bin/sh
# Builds the libFuzzer targets into build/fuzz and runs each for SECONDS
# seconds on a fresh copy of its seed corpus.  Exits non-zero when any target
# finds a crash, leak, timeout or undefined behaviour.
#   sh fuzz/run.sh [SECONDS]      (from anywhere; default 60)
# FUZZ_JOBS sets how many targets run at once (default: the number of CPUs).
set -eu

seconds=${1:-60}
case "$seconds" in
    ''|*[!0-9]*|0) echo "usage: sh fuzz/run.sh SECONDS (a whole number above 0)" >&2; exit 2 ;;
esac

cd "$(dirname "$0")/.."
out=build/fuzz
targets="tokenizer markers versions regfile script check"

if ! command -v clang++-14 >/dev/null 2>&1 && ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ not found (Debian packages clang and libclang-rt-14-dev; make deps-posix)" >&2
    exit 1
fi

jobs=${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 1)}
# Run from make or not, the build gets its own job count.
echo "fuzz: building into $out"
if ! MAKEFLAGS= MFLAGS= make -s --no-print-directory -f fuzz/fuzz.mk OUT="$out" -j"$jobs"; then
    echo "fuzz: the build failed"
    echo "0 passed, $(echo $targets | wc -w) failed"
    exit 1
fi

# The inputs that matter are small; a run that takes ten seconds on one hangs.
max_len() {
    case "$1" in
        versions) echo 256 ;;
        markers) echo 1024 ;;
        tokenizer) echo 4096 ;;
        *) echo 8192 ;;
    esac
}

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

start_target() {
    t=$1
    rm -rf "$out/corpus/$t" "$out/artifacts/$t"
    mkdir -p "$out/corpus" "$out/artifacts/$t" "$out/logs"
    cp -R "fuzz/corpus/$t" "$out/corpus/$t"
    (
        rc=0
        "$out/$t" -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=10 -rss_limit_mb=2048 \
            -dict="fuzz/dict/$t.dict" -artifact_prefix="$out/artifacts/$t/" -print_final_stats=1 \
            "$out/corpus/$t" >"$out/logs/$t.log" 2>&1 || rc=$?
        echo "$rc" >"$out/logs/$t.rc"
    ) &
}

# Targets run in batches of $jobs, each for the full time.
running=0
for t in $targets; do
    start_target "$t"
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait
        running=0
    fi
done
wait

passed=0
failed=0
for t in $targets; do
    rc=$(cat "$out/logs/$t.rc" 2>/dev/null || echo 1)
    found=$(find "$out/artifacts/$t" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
        -o -name 'oom-*' \) | head -n 5)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/logs/$t.log" | tail -n 1)
    if [ "$rc" -eq 0 ] && [ -z "$found" ]; then
        passed=$((passed + 1))
        echo "fuzz: $t passed (${runs:-?} runs in ${seconds}s)"
    else
        failed=$((failed + 1))
        echo "fuzz: $t FAILED (exit $rc); log: $out/logs/$t.log"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|.*check failed|==[0-9]+== ERROR)' "$out/logs/$t.log" | head -n 5 | sed 's/^/  /'
        for f in $found; do
            echo "  reproducer: $f"
            echo "  rerun:      $out/$t $f"
        done
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
