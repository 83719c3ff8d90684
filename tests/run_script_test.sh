#!/usr/bin/env bash
# scripts/run without a display: with a program that starts, it saves a
# screenshot and exits 0; with one that cannot load (a DLL it imports
# disabled), it exits non-zero, says why and saves no screenshot.
set -uo pipefail
cd "$(dirname "$0")/.."
out=$(mktemp -d "${TMPDIR:-/tmp}/sondaro-run-test.XXXXXX")
trap 'rm -rf "$out"' EXIT
failed=0
passed=0

# case name, expected exit (0 or "fail"), expect a screenshot (yes/no),
# WINEDLLOVERRIDES
run_case() {
    local name=$1 want=$2 shot_wanted=$3 overrides=$4
    local shot=$out/$name.png rc
    env -u DISPLAY SONDARO_SCREENSHOT="$shot" WINEDLLOVERRIDES="$overrides" \
        scripts/run >"$out/$name.log" 2>&1
    rc=$?
    local ok=1
    if [ "$want" = 0 ] && [ "$rc" != 0 ]; then ok=0; fi
    if [ "$want" = fail ] && [ "$rc" = 0 ]; then ok=0; fi
    if [ "$shot_wanted" = yes ] && [ ! -s "$shot" ]; then ok=0; fi
    if [ "$shot_wanted" = no ] && [ -e "$shot" ]; then ok=0; fi
    if [ "$want" = fail ] && ! grep -q "^run: Sondaro ended without showing a window" "$out/$name.log"; then ok=0; fi
    if [ "$ok" = 1 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name (exit $rc)"
        tail -n 20 "$out/$name.log"
    fi
}

run_case starts 0 yes "mscoree,mshtml=;winemenubuilder.exe=d"
run_case cannot_load fail no "version,mscoree,mshtml=;winemenubuilder.exe=d"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
