#!/usr/bin/env bash
# scripts/wine-test-env leaves no process of the test behind, however the
# test ended. Its program here leaves one running, as a Wine service still
# starting when wineserver -k ran does. A first run is killed as CTest kills
# one on its time-out (SIGKILL, no trap); once a second run has returned,
# what both left must be gone.
# shellcheck disable=SC2016 # expanded by the shells that run it
set -uo pipefail
cd "$(dirname "$0")/.." || exit
out=$(mktemp -d "${TMPDIR:-/tmp}/sondaro-env-test.XXXXXX")
trap 'rm -rf "$out"' EXIT

printf '#!/bin/sh\ntail -f /dev/null &\necho $! >"$1"\n[ -z "$2" ] || exec tail -f /dev/null\n' >"$out/leaves-a-process"
chmod +x "$out/leaves-a-process"
scripts/wine-test-env "$out/leaves-a-process" "$out/killed" waits >"$out/killed.log" 2>&1 &
killed=$!
timeout 300 sh -c 'until [ -s "$1" ]; do sleep 0.1; done' - "$out/killed"
kill -9 "$killed"
wait "$killed" # as CTest does: a zombie would still count as the run's owner
scripts/wine-test-env "$out/leaves-a-process" "$out/pid" >"$out/log" 2>&1
for pid in "$(cat "$out/killed")" "$(cat "$out/pid")"; do
    # Once killed it may stay a zombie until init collects it.
    state=$(ps -o stat= -p "$pid")
    if [ -n "$state" ] && [ "${state#Z}" = "$state" ]; then
        echo "FAILED: process $pid of a test's run outlived it ($state)"
        kill "$pid"
        exit 1
    fi
done
echo "passed"
