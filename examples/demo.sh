#!/bin/sh
# Runs the launcher on a copy of the example medium, on the POSIX stand-in,
# with the example registry.  Usage: demo.sh path/to/tolvane
set -eu
launcher=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT

cp -R "$here/medium" "$work/medium"
cp "$launcher" "$work/medium/tolvane"
sed "s|@MEDIUM@|$work/medium|" "$here/registry.reg.in" > "$work/registry.reg"

echo "== medium: $work/medium"
echo "== tolvane.cfg:"
sed 's/^/   /' "$work/medium/tolvane.cfg"
echo "== running tolvane (message boxes appear on standard error):"
status=0
TOLVANE_REGISTRY="$work/registry.reg" "$work/medium/tolvane" </dev/null || status=$?
echo "== exit code: $status"
exit "$status"
