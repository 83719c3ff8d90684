#!/usr/bin/env bash
# scripts/setup against an archive in mid-sync, without the network or a
# change to the machine: on PATH first, stand-ins (every package missing,
# apt-get's update failing as often as a case says, sleep noting its wait);
# binfmt_misc a folder of the test's own, in which emulation on demand is
# registered, so that the script leaves emulation alone.
# shellcheck disable=SC2016 # the stand-ins' code is expanded when they run
set -uo pipefail
cd "$(dirname "$0")/.." || exit
out=$(mktemp -d "${TMPDIR:-/tmp}/sondaro-setup-test.XXXXXX")
trap 'rm -rf "$out"' EXIT
failed=0
passed=0

mkdir "$out/bin" "$out/binfmt_misc"
echo enabled >"$out/binfmt_misc/qemu-i386-on-demand"
stand_in() { printf '#!/bin/sh\n%s\n' "$2" >"$out/bin/$1" && chmod +x "$out/bin/$1"; }
stand_in id 'echo 0'
stand_in dpkg-query 'exit 1'
stand_in dpkg '[ "$1" = --print-foreign-architectures ] && echo i386'
stand_in mountpoint 'exit 0'
stand_in sleep 'echo "$*" >>"$CASE/slept"'
stand_in apt-get '
case " $* " in
*" update "*)
    echo x >>"$CASE/updates"
    [ "$(wc -l <"$CASE/updates")" -gt "$UPDATE_FAILS" ] && exit 0
    echo "Err:6 http://archive.invalid/debian-security bookworm-security/main i386 Packages"
    echo "  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
    echo "E: Failed to fetch http://archive.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]" >&2
    exit 100 ;;
*" install "*)
    echo "$*" >>"$CASE/installed"
    for a; do
        case $a in Dir::Etc::Preferences=*) cp "${a#*=}" "$CASE/prefs" && exit "$HELD_BACK_EXIT" ;; esac
    done
    exit "$INSTALL_EXIT" ;;
esac
exit 1'

# case name, updates that fail, install's exit, its exit with a suite held
# back ("-": not to be tried), expected exit (0 or "fail"), the sleeps asked
# for, lines expected in the output (extended regexps)
run_case() {
    local name=$1 fails=$2 install=$3 held=$4 want=$5 sleeps=$6 rc ok=1 pattern
    shift 6
    local dir=$out/$name
    mkdir "$dir" && : >"$dir/slept" && : >"$dir/updates"
    env PATH="$out/bin:$PATH" SONDARO_BINFMT_MISC="$out/binfmt_misc" CASE="$dir" \
        UPDATE_FAILS="$fails" INSTALL_EXIT="$install" HELD_BACK_EXIT="$held" scripts/setup >"$dir/log" 2>&1
    rc=$?
    # Held back: the suite whose index is missing, below the priority of an
    # installed version (100) and so of any downgrade (1000).
    if [ "$held" = - ] && [ -e "$dir/prefs" ]; then ok=0; fi
    if [ "$held" != - ] && [ "$(grep -A1 -x 'Pin: release n=bookworm-security' "$dir/prefs" | tail -n1)" != "Pin-Priority: 50" ]; then
        ok=0
    fi
    if [ "$want" = 0 ] && [ "$rc" != 0 ]; then ok=0; fi
    if [ "$want" = fail ] && [ "$rc" = 0 ]; then ok=0; fi
    # The install is tried however the update went; each wait is announced
    # and followed by another try.
    if [ ! -s "$dir/installed" ]; then ok=0; fi
    if [ "$(xargs <"$dir/slept")" != "$sleeps" ]; then ok=0; fi
    if [ "$(grep -c 'trying again in 30 s$' "$dir/log")" != "$(wc -w <<<"$sleeps")" ]; then ok=0; fi
    if [ "$(wc -l <"$dir/updates")" != $(($(wc -w <<<"$sleeps") + 1)) ]; then ok=0; fi
    for pattern in "$@"; do
        grep -Eq "$pattern" "$dir/log" || ok=0
    done
    if [ "$ok" = 1 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name (exit $rc, slept: $(xargs <"$dir/slept"))"
        tail -n 20 "$dir/log"
    fi
}

missing='bookworm-security/main i386 Packages: File has unexpected size \(374820 != 376004\)\. Mirror sync in progress\?$'
held='bookworm-security held back'
run_case first_try 0 0 - 0 "" '^setup: installing g\+\+-mingw-w64-i686 '
run_case update_fails_once 1 0 - 0 "30" '^setup: apt-get update failed \(try 1 of 3\); trying again in 30 s$'
run_case index_stays_missing 9 0 - 0 "30 30" "^setup: still missing after 3 tries of apt-get update: http://archive\.invalid/debian-security $missing"
run_case install_fails_alone 0 100 - fail "" '^setup: installing '
run_case held_back_resolves 9 100 0 0 "30 30" "^setup: trying again with $held " \
    "^setup: installed with $held: " '^setup: once the archive is whole again, apt-get update and apt-get upgrade bring them\.$'
run_case install_fails_too 9 100 100 fail "30 30" "^setup: still missing .*$missing" "^setup: trying again with $held " \
    '^setup: apt-get install .*wine32:i386.* failed' '^setup: the archive was being updated .*Run scripts/setup again later\.$'
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
