#!/usr/bin/env bash
# scripts/wine-test-env leaves no process of the test behind, however the
# test ended. The program it runs here leaves one running with the run in
# its environment, as a Wine service still starting when wineserver -k ran
# does. A first run is killed as CTest kills a test on its time-out (SIGKILL,
# no trap) while its program still runs; once a second run has returned,
# the processes of both must be gone.
set -uo pipefail
cd "$(dirname "$0")/.." || exit
out=$(mktemp -d "${TMPDIR:-/tmp}/sondaro-env-test.XXXXXX")
trap 'rm -rf "$out"' EXIT

# shellcheck disable=SC2016 # expanded when the program runs
printf '#!/bin/sh\ntail -f /dev/null &\necho $! >"$1"\n[ -z "$2" ] || exec tail -f /dev/null\n' >"$out/leaves-a-process"
chmod +x "$out/leaves-a-process"
scripts/wine-test-env "$out/leaves-a-process" "$out/killed" waits >"$out/killed.log" 2>&1 &
killed=$!
for ((tenths = 0; tenths < 3000; tenths++)); do
    [ -s "$out/killed" ] && break
    sleep 0.1
done
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
