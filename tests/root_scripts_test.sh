#!/usr/bin/env bash
# scripts/setup and scripts/fresh-root without the network, root or a change
# to the machine: on PATH first, stand-ins (every package missing, apt-get's
# update failing as often as a case says, in German unless told LC_ALL=C;
# sleep noting its wait; debootstrap, unshare, mount and chroot noting their
# calls); binfmt_misc a folder of the test's own, in which emulation on
# demand is registered, so that the script leaves emulation alone.
# shellcheck disable=SC2016 # the stand-ins' code is expanded when they run
set -uo pipefail
cd "$(dirname "$0")/.." || exit
out=$(mktemp -d "${TMPDIR:-/tmp}/sondaro-setup-test.XXXXXX")
trap 'rm -rf "$out"' EXIT
failed=0
passed=0
verdict() { # case name, 1 if it passed, its log
    if [ "$2" = 1 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $1" && tail -n 20 "$3"
    fi
}

mkdir "$out/bin" "$out/binfmt_misc"
echo enabled >"$out/binfmt_misc/qemu-i386-on-demand"
stand_in() { printf '#!/bin/sh\n%s\n' "$2" >"$out/bin/$1" && chmod +x "$out/bin/$1"; }
stand_in id 'echo 0'
stand_in dpkg-query 'exit 1'
stand_in dpkg '[ "$1" = --print-foreign-architectures ] && echo i386'
stand_in mountpoint 'exit 0'
stand_in ischroot 'exit "${IN_CHROOT:-1}"'
stand_in sleep 'echo "$*" >>"$CASE/slept"'
stand_in apt-get '
[ "${LC_ALL:-}" = C ] && err=Err fetch="Failed to fetch" || err=Fehl fetch="Fehlschlag beim Holen von"
case " $* " in
*" indextargets "*) . /etc/os-release && echo "deb http://archive.invalid/debian $VERSION_CODENAME main" ;;
*" update "*)
    echo x >>"$CASE/updates"
    [ "$(wc -l <"$CASE/updates")" -gt "$UPDATE_FAILS" ] && exit 0
    echo "$err:6 http://archive.invalid/debian-security $STALE/main i386 Packages"
    echo "  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
    echo "E: $fetch http://archive.invalid/debian-security/dists/$STALE/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]" >&2
    exit 100 ;;
*" install "*)
    echo "$*" >>"$CASE/installed"
    for a; do
        case $a in Dir::Etc::Preferences=*) cp "${a#*=}" "$CASE/prefs" && [ "$HELD_BACK_EXIT" != 143 ] || kill -TERM $PPID
            exit "$HELD_BACK_EXIT" ;; esac
    done
    exit "$INSTALL_EXIT" ;;
esac'
stand_in debootstrap 'mkdir -p "$3/etc/apt" && echo "$*" >>"$CASE/debootstrapped" && exit "${DEBOOTSTRAP_EXIT:-0}"'
stand_in unshare 'while [ "$1" != -- ]; do shift; done; shift; exec "$@"'
stand_in mount 'echo "$*" >>"$CASE/mounted"'
stand_in chroot 'echo "$*" >>"$CASE/ran"'
stand_in findmnt '[ ! -e "$CASE/mounts" ] || cat "$CASE/mounts"'
stand_in git 'for a; do :; done; mkdir -p "$a"'

# case name, the suite whose index is missing, updates that fail, install's
# exit, its exit with suites held back ("-": not to be tried), expected exit
# (0 or "fail"), the sleeps asked for, lines expected in the output
# (extended regexps). MODE=--emulate IN_CHROOT=0 before the name: so run.
run_case() {
    local name=$1 stale=$2 fails=$3 install=$4 held=$5 want=$6 sleeps=$7 rc ok=1 pattern
    shift 7
    local dir=$out/$name
    mkdir -p "$dir/tmp" && : >"$dir/slept" && : >"$dir/updates"
    env PATH="$out/bin:$PATH" SONDARO_BINFMT_MISC="$out/binfmt_misc" CASE="$dir" LANG=de_DE.UTF-8 LANGUAGE=de \
        TMPDIR="$dir/tmp" STALE="$stale" UPDATE_FAILS="$fails" INSTALL_EXIT="$install" HELD_BACK_EXIT="$held" \
        scripts/setup ${MODE:+"$MODE"} >"$dir/log" 2>&1
    rc=$?
    # Held back: the suite whose index is missing, below the priority of an
    # installed version (100) and so of any downgrade (1000); the backports
    # below it, and first, as apt takes the first pin for a suite.
    if [ "$held" = - ] && [ -e "$dir/prefs" ]; then ok=0; fi
    if [ "$held" != - ] && { [ "$(grep -A1 -x "Pin: release n=$stale" "$dir/prefs" | tail -n1)" != "Pin-Priority: 50" ] ||
        [ "$(sed -n 2,3p "$dir/prefs")" != $'Pin: release n=*-backports\nPin-Priority: 1' ]; }; then ok=0; fi
    if [ "$want" = 0 ] && [ "$rc" != 0 ]; then ok=0; fi
    if [ "$want" = fail ] && [ "$rc" = 0 ]; then ok=0; fi
    # The install is tried however the update went; each wait is announced
    # and followed by another try. Nothing is left in TMPDIR.
    if [ ! -s "$dir/installed" ] || [ -n "$(ls -A "$dir/tmp")" ]; then ok=0; fi
    if [ "$(xargs <"$dir/slept")" != "$sleeps" ]; then ok=0; fi
    if [ "$(grep -c 'trying again in 30 s$' "$dir/log")" != "$(wc -w <<<"$sleeps")" ]; then ok=0; fi
    if [ "$(wc -l <"$dir/updates")" != $(($(wc -w <<<"$sleeps") + 1)) ]; then ok=0; fi
    for pattern in "$@"; do
        grep -Eq "$pattern" "$dir/log" || ok=0
    done
    verdict "$name (exit $rc, slept: $(xargs <"$dir/slept"))" "$ok" "$dir/log"
}

missing='bookworm-security/main i386 Packages: File has unexpected size \(374820 != 376004\)\. Mirror sync in progress\?$'
held='bookworm-security held back'
sec=bookworm-security
run_case first_try $sec 0 0 - 0 "" '^setup: installing g\+\+-mingw-w64-i686 '
run_case update_fails_once $sec 1 0 - 0 "30" '^setup: apt-get update failed \(try 1 of 3\); trying again in 30 s$'
run_case index_stays_missing $sec 9 0 - 0 "30 30" "^setup: still missing after 3 tries of apt-get update: http://archive\.invalid/debian-security $missing"
run_case install_fails_alone $sec 0 100 - fail "" '^setup: installing '
run_case held_back_resolves $sec 9 100 0 0 "30 30" "^setup: trying again with $held " \
    "^setup: installed with $held: " '^setup: once the archive is whole again, apt-get update and apt-get upgrade bring them\.$'
run_case release_held_back bookworm 9 100 0 0 "30 30" "^setup: installed with bookworm held back: "
run_case install_fails_too $sec 9 100 100 fail "30 30" "^setup: still missing .*$missing" "^setup: trying again with $held " \
    '^setup: apt-get install .*wine32:i386.* failed' '^setup: the archive was being updated .*Run scripts/setup again later\.$'
run_case terminated $sec 9 100 143 fail "30 30" "^setup: trying again with $held "
MODE=--emulate IN_CHROOT=0 run_case emulate_in_a_chroot $sec 0 0 - fail "" '^setup: --emulate is refused in a chroot'

# case name, DIR, what is there before the run (shell, in the case's folder;
# wrap: what the run is wrapped in), its exit code, what holds after it
# (shell, there), a line expected in the output (extended regexp)
fresh_case() {
    local c=$out/$1 dir=$2 before=$3 want=$4 after=$5 pattern=$6 rc ok=1 wrap=()
    mkdir "$c" && cd "$c" && eval "$before"
    env PATH="$out/bin:$PATH" CASE="$c" "${wrap[@]}" "$OLDPWD/scripts/fresh-root" bookworm "$dir" true >log 2>&1
    rc=$?
    [ "$rc" = "$want" ] && eval "$after" && grep -Eq "$pattern" log || ok=0
    cd - >/dev/null && verdict "fresh-root $1 (exit $rc)" "$ok" "$c/log"
}
system="is / or a folder of this machine's own system"
mark=dir/.sondaro-fresh-root
left="mkdir dir && echo unfinished >$mark && echo x >dir/left"
fresh_case slash / : 2 '[ ! -e debootstrapped ]' "$system"
fresh_case link_to_slash dir 'ln -s / dir' 2 '[ ! -e debootstrapped ]' "$system"
fresh_case data_folder dir 'mkdir dir && echo x >dir/data' 2 '[ -e dir/data ] && [ ! -e debootstrapped ]' 'no \.sondaro-fresh-root: it is no root'
fresh_case new dir : 0 'grep -qx bookworm $mark && [ -e debootstrapped ] && [ -e ran ]' '^fresh-root: making a '
fresh_case interrupted dir 'wrap=(env DEBOOTSTRAP_EXIT=1)' 1 'grep -qx unfinished $mark && [ ! -e ran ]' '^fresh-root: making a '
fresh_case unfinished dir "$left" 0 '[ ! -e dir/left ] && grep -qx bookworm $mark && [ -e debootstrapped ]' 'interrupted: making it again'
fresh_case mounts_left dir "$left && echo \$PWD/dir/proc >mounts" 1 '[ -e dir/left ] && [ ! -e debootstrapped ]' 'dir/proc is mounted in it'
fresh_case made dir "mkdir -p dir/etc && echo bookworm >$mark" 0 '[ ! -e debootstrapped ] && [ -e ran ]' '^fresh-root: running true'
fresh_case busy dir "mkdir -p dir/etc && echo bookworm >$mark && wrap=(flock dir)" 1 '[ ! -e ran ]' 'another run is using'
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
