#!/bin/sh
# The launcher's and the checker's benchmarks (make bench): figures against reference programs,
# printed with their goals.  Never part of make test.  Run from the repo root
# after building the posix preset.
set -eu
cd "$(dirname "$0")/.."
launcher=build/posix/tolvane
checker=build/posix/tolvane-check
for program in "$launcher" "$checker"; do
    if [ ! -x "$program" ]; then
        echo "bench: $program is missing; build the posix preset first (make posix)" >&2
        exit 1
    fi
done
if [ ! -x /usr/bin/time ]; then
    echo "bench: /usr/bin/time is missing (Debian package time)" >&2
    exit 1
fi
exec python3 bench/bench.py "$launcher" "$checker"
