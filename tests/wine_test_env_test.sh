#!/usr/bin/env bash
# scripts/wine-test-env leaves no process of the test's Wine prefix behind.
# The program it runs here leaves one running with the prefix in its
# environment, as a Wine service still starting when wineserver -k ran
# does; once wine-test-env has returned, that process must be gone.
set -uo pipefail
cd "$(dirname "$0")/.." || exit
out=$(mktemp -d "${TMPDIR:-/tmp}/sondaro-env-test.XXXXXX")
trap 'rm -rf "$out"' EXIT

printf '#!/bin/sh\ntail -f /dev/null &\necho $! >"%s/pid"\n' "$out" >"$out/leaves-a-process"
chmod +x "$out/leaves-a-process"
scripts/wine-test-env "$out/leaves-a-process" >"$out/log" 2>&1
pid=$(cat "$out/pid")
# Once killed it may stay a zombie until init collects it.
state=$(ps -o stat= -p "$pid")
if [ -n "$state" ] && [ "${state#Z}" = "$state" ]; then
    echo "FAILED: process $pid of the test's prefix outlived it ($state)"
    kill "$pid"
    exit 1
fi
echo "passed"
