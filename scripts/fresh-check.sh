#!/usr/bin/env bash
# Proves that the README's two commands work on a fresh Debian machine: makes a
# minimal Debian 12 root with debootstrap from this machine's own Debian mirror,
# puts a clean clone of the committed tree (HEAD, not the working files) in it,
# and runs there, as a new user would, as root:
#   ./scripts/test.sh   which installs everything with scripts/deps.sh, builds and tests;
#   ./scripts/run.sh    under Xvfb: the question answered No, the window looked at
#                       (a screenshot that is not black), Escape, exit code 0;
#   the Windows zip and the web page, each by its README command;
# then the tools' own needs: the fuzzers build and run (tests/fuzz/README.md), and
# scripts/debian-source.sh unpacks a Debian source.
# One line per step with its time, then PASS or FAIL. Needs root and the network
# to the Debian mirror; not part of CI.
#
# The root made by debootstrap plus deps.sh's install is kept in $SHOW_FRESH_CACHE
# (default /var/cache/show-fresh-check), keyed by deps.sh's package list: a rerun
# with the same list starts from it (minutes); a changed list starts from nothing
# again, so deps.sh is proved installing from nothing. Step logs and the
# screenshot of the last run stay in $SHOW_FRESH_CACHE/last-run/.
set -uo pipefail

# The end-to-end tests' helpers: X servers, windows by their titles, keys, pictures.
source "$(dirname "$0")/../tests/e2e/lib.sh"

[ "$(id -u)" = 0 ] || { echo "fresh-check: must run as root (debootstrap, chroot, mounts)" >&2; exit 2; }

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel) || exit 2
suite=bookworm
cache=${SHOW_FRESH_CACHE:-/var/cache/show-fresh-check}
logs=$cache/last-run
began=$SECONDS
failed=

mkdir -p "$cache"
# One check at a time: they share the cache, and the machine's cores.
exec 9>"$cache/lock"
flock -n 9 || { echo "fresh-check: another check is running; waiting for it"; flock 9; }
rm -rf "$logs" && mkdir -p "$logs"

work=$(mktemp -d /var/tmp/show-fresh-check.XXXXXX)
root=$work/root

# Everything started in the root, by its root directory.
kill_root_processes() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  sleep 0.5
}
# A step's processes outside the root (debootstrap, unshare), by id: stopped
# first, so that none starts another while its children go.
kill_tree() {  # PID
  local child
  kill -STOP "$1" 2>/dev/null || return 0
  for child in $(ps -o pid= --ppid "$1"); do kill_tree "$child"; done
  kill -KILL "$1" 2>/dev/null
}
step_pid=
# Steps mount /proc, /sys and /dev in mount namespaces of their own, which go
# with them; only a cached root's overlay is mounted here.
cleanup() {
  [ -n "$step_pid" ] && { kill_tree "$step_pid"; wait "$step_pid"; } 2>/dev/null
  kill_root_processes
  findmnt -rn -o TARGET | grep -F "$work/" | sort -r | while read -r target; do
    umount "$target" 2>/dev/null || umount -l "$target"
  done
  if findmnt -rn -o TARGET | grep -qF "$work/"; then
    echo "fresh-check: $work still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$work"
  fi
}
trap cleanup EXIT
trap 'echo "fresh-check: interrupted"; exit 130' INT TERM HUP
mkdir "$root"

step() {  # NAME FUNCTION [ARG...]: runs a step into its log; one line with its time
  local name=$1; shift
  local log start=$SECONDS rc
  steps=$((steps + 1))
  log=$logs/step-$(printf '%02d' "$steps").log
  # In the background, so that a signal to this script is acted on at once.
  "$@" </dev/null >"$log" 2>&1 &
  step_pid=$!
  wait "$step_pid"
  rc=$?
  step_pid=
  printf '%s  %-56s %-4s %6s\n' "$(date +%H:%M:%S)" "$name" "$([ $rc = 0 ] && echo ok || echo FAIL)" \
    "$((SECONDS - start))s"
  if [ $rc != 0 ]; then
    failed=${failed:-$name}
    echo "  last lines of $log:"
    tail -n 40 "$log" | sed 's/^/  | /'
  fi
  return $rc
}
steps=0
verdict() {
  local took=$((SECONDS - began))
  if [ -z "$failed" ]; then
    echo "fresh-check: PASS ($((took / 60))m $((took % 60))s, $start_from)"
    exit 0
  fi
  echo "fresh-check: FAIL at \"$failed\" ($((took / 60))m $((took % 60))s, $start_from; logs in $logs)"
  exit 1
}

# The machine's own Debian entries for the suite, binary only: deb822 files...
host_sources() {
  shopt -s nullglob
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    awk -v suite="$suite" 'BEGIN { RS = ""; ORS = "\n\n" }
      { types = ""; suites = ""; n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) {
          if (lines[i] ~ /^Types:/) types = lines[i]
          if (lines[i] ~ /^Suites:/) suites = lines[i]
        }
        if (types ~ /[: ]deb( |$)/ && suites ~ ("[: ]" suite "(-[a-z]+)?( |$)")) {
          sub(/Types:[^\n]*/, "Types: deb"); print
        } }' "$f"
  done
}
# ...and one-line files.
host_list() {
  shopt -s nullglob
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && awk -v suite="$suite" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ "^" suite "(-[a-z]+)?$") { print; next } }' "$f"
  done
}
# The mirror of the suite itself (not -updates nor -security).
host_mirror() {
  host_sources | awk -v suite="$suite" 'BEGIN { RS = "" }
    { n = split($0, lines, "\n"); uri = ""; hit = 0
      for (i = 1; i <= n; i++) {
        if (lines[i] ~ /^URIs:/) { split(lines[i], u, /[ \t]+/); uri = u[2] }
        if (lines[i] ~ /^Suites:/ && lines[i] ~ ("[: ]" suite "( |$)")) hit = 1
      }
      if (hit && uri != "") { print uri; exit } }'
  host_list | awk -v suite="$suite" '{ sub(/\[[^]]*\] */, ""); if ($3 == suite) print $2 }'
}

# Runs a command in the root as a new user would: as root, from the clone, with
# a clean environment, /proc, /sys and /dev mounted for it alone. The Windows
# and web builds' libraries (~/.cache/show-deps) are kept beside the cached
# root, under the same key: built from nothing in a run from a fresh root,
# reused by the runs after it.
in_root() {  # COMMAND (a bash command line)
  mkdir -p "$deps_cache" "$root/root/.cache/show-deps"
  unshare --mount --propagation private --fork --kill-child -- /bin/bash -c '
    set -e
    mount -t proc proc "$1/proc"
    mount --rbind /sys "$1/sys"
    mount --rbind /dev "$1/dev"
    mount --bind "$3" "$1/root/.cache/show-deps"
    exec chroot "$1" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "cd /root/show 2>/dev/null || cd; $2"
  ' in_root "$root" "$1" "$deps_cache"
  local rc=$?
  kill_root_processes
  return $rc
}

# debootstrap, and the X server and tools that watch a command in a bare root
# from outside it (the server's core fonts draw the show's question box).
host_tools() {
  local tools=(debootstrap xvfb xfonts-base xdotool x11-utils imagemagick) missing=() p
  for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} = 0 ] && return 0
  apt-get -o DPkg::Lock::Timeout=900 update &&
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends "${missing[@]}"
}

clone() {
  git -C "$repo" status --porcelain | grep -q . && echo "(uncommitted changes in $repo are not checked)"
  mkdir -p "$root/root/show" &&
    git -C "$root/root/show" init -q &&
    git -C "$root/root/show" fetch -q "$repo" HEAD &&
    git -C "$root/root/show" checkout -q FETCH_HEAD &&
    git -C "$root/root/show" log -1 --oneline
}

debootstrap_root() {
  # In a mount namespace of its own: the mounts debootstrap makes go with it.
  unshare --mount --propagation private --fork --kill-child -- \
    debootstrap --variant=minbase "$suite" "$root" "$mirror" || return 1
  # The root's sources: this machine's own Debian entries.
  rm -f "$root/etc/apt/sources.list"
  host_sources >"$root/etc/apt/sources.list.d/debian.sources"
  host_list >"$root/etc/apt/sources.list"
  cat "$root/etc/apt/sources.list.d/debian.sources" "$root/etc/apt/sources.list"
  # Services that packages would start have no place in a root that is thrown away.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && chmod +x "$root/usr/sbin/policy-rc.d"
}

use_cached_root() {
  mkdir -p "$work/upper" "$work/overlay-work" &&
    mount -t overlay overlay -o "lowerdir=$cached,upperdir=$work/upper,workdir=$work/overlay-work" "$root" ||
    { echo "no overlay here: copying the cached root"; cp -a "$cached/." "$root/"; }
}

# After an install from nothing: every listed package there, the root (less the
# clone) kept for the next run. Older roots beyond the last three go.
save_root() {
  in_root 'missing=0; for p in $(./scripts/deps.sh --list); do
             dpkg-query -W -f="\${Status}" "$p" 2>/dev/null | grep -q "install ok installed" || { echo "not installed: $p"; missing=1; }
           done; [ $missing = 0 ] && apt-get clean' || return 1
  rm -rf "$cached.new" && mkdir -p "$cached.new" &&
    tar -C "$root" --one-file-system --exclude=./root/show -cf - . | tar -C "$cached.new" -xf - &&
    mv "$cached.new" "$cached" || return 1
  find "$cache" -maxdepth 1 -name 'root-*' ! -name '*.new' -printf '%T@ %p\n' | sort -rn | tail -n +4 |
    cut -d' ' -f2- | while read -r old; do rm -rf --one-file-system "$old" "$cache/deps-${old##*/root-}"; done
  du -sh "$cached"
}

# The README's run command under an X server, the question answered No: in
# the root, with the test suites' own helpers from its clone.
run_show() {
  cat >"$root/root/run-show.sh" <<'EOF'
set -u
source tests/e2e/lib.sh
begin_case
keep=/root/run-show
mkdir -p "$keep"
start_xvfb 1024x768
echo "X server on $DISPLAY"
show=./scripts/run.sh media=.
start_show
# run.sh first checks the packages and the build: give it time.
wait_for_window_of "$QuestionTitle" 600 "$show_pid" || fail "no start-up question"
press_until_gone "$QuestionTitle" Escape
echo "question answered No"
wait_for 300 has_window "$ShowTitle" || fail "no show window"
xwininfo -id "$(window_id "$ShowTitle")" | grep -E 'geometry|Absolute'
sleep 3
import -window "$(window_id "$ShowTitle")" "$keep/window.png" || fail "no screenshot"
expect_lit "$keep/window.png"
key_to "$ShowTitle" Escape
expect_exit 0
echo "exit code 0; the show's output:"
cat "$work/show.log"
EOF
  in_root 'bash /root/run-show.sh'
  local rc=$?
  cp "$root/root/run-show/window.png" "$logs/window.png" 2>/dev/null && echo "screenshot: $logs/window.png"
  return $rc
}

# The README's package command in the root the tests ran in; the package is
# kept for the bare root's step.
package_deb() {
  in_root './scripts/package-deb.sh' || return 1
  mkdir -p "$work/deb" && cp "$root"/root/show/dist/zu-show_*.deb "$work/deb/" || return 1
  local deb
  deb=$(ls "$work"/deb/*.deb)
  echo "package: ${deb##*/}, $(stat -c %s "$deb") bytes, $(dpkg-deb -c "$deb" | grep -vc '/$') files" |
    tee -a "$logs/figures.txt"
}

# A root with nothing but debootstrap's minimal base, made once (minutes) and
# kept in $bare: the steps that stand for a user's fresh machine each run in an
# overlay of it, thrown away after them.
make_bare_root() {
  local root=$bare.new
  rm -rf --one-file-system "$root" && mkdir -p "$root" && debootstrap_root && mv "$root" "$bare"
}
use_bare_root() {  # NAME: an overlay of the bare root at $work/NAME becomes $root
  root=$work/$1
  mkdir -p "$root" "$work/$1.upper" "$work/$1.work" &&
    mount -t overlay overlay -o "lowerdir=$bare,upperdir=$work/$1.upper,workdir=$work/$1.work" "$root" ||
    { echo "no overlay here: copying the bare root"; cp -a "$bare/." "$root/"; }
}
# Packages installed in $root, read from its dpkg database (in_root would end
# whatever runs in the root).
installed_packages() { dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${db:Status-Status}\n' | grep -cx installed; }

# An X server on this machine (the test suites' start_xvfb, which sets
# DISPLAY and server_pid) serves a command in a bare root, which shares this
# machine's network and so reaches the server's abstract socket; the root gets
# no X package of its own.
# The show's window is drawn (a screenshot that is not black); then Escape, and exit code 0.
look_and_escape() {  # PID SHOT
  xwininfo -id "$(window_id "$ShowTitle")" | grep -E 'geometry|Absolute'
  sleep 3
  import -window "$(window_id "$ShowTitle")" "$2" || { echo "no screenshot"; return 1; }
  (expect_lit "$2") || return 1
  key_to "$ShowTitle" Escape
  local code
  wait "$1"; code=$?
  echo "exit code $code"
  [ "$code" = 0 ]
}

# The package as a Debian user installs it, in a bare root with none of the
# development packages: apt pulls its libraries in by name, its command with
# --window draws without asking, Escape ends it with 0, and purging it leaves
# none of its files.
package_in_bare_root() {
  use_bare_root package-root || return 1
  cp "$work"/deb/zu-show_*.deb "$root/root/" || return 1
  local before after
  before=$(installed_packages)
  in_root 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ./zu-show_*.deb' ||
    return 1
  after=$(installed_packages)
  echo "apt install of the package: $((after - before)) packages with its libraries" | tee -a "$logs/figures.txt"
  in_root 'dpkg-query -W -f="\${Package}\n" | grep -E -- "-dev\$|^(gcc|g\+\+|cmake)\$"' && { echo "development packages in the root"; return 1; }
  in_root 'dpkg -L zu-show' >"$work/package-files.txt" || return 1
  start_xvfb 1024x768
  # By its full path: root's PATH has no /usr/games, a user's has.
  in_root "DISPLAY=$DISPLAY /usr/games/zu-show --window" &
  local show=$!
  wait_for_window_of "$ShowTitle" 60 "$show" || { kill "$server_pid"; return 1; }
  no_window "$QuestionTitle" || { echo "the show asked its question despite --window"; kill "$server_pid"; return 1; }
  look_and_escape "$show" "$logs/package-window.png"
  local rc=$?
  kill "$server_pid"
  [ $rc = 0 ] || return 1
  # zu-show-capture finds the installed media by itself, and needs no display.
  in_root 'cd /tmp && /usr/games/zu-show-capture --at 3 --out frames' || return 1
  (expect_lit "$root"/tmp/frames/frame_*.png) || { echo "zu-show-capture drew black"; return 1; }
  in_root 'DEBIAN_FRONTEND=noninteractive apt-get purge -y zu-show' || return 1
  local left=0 path
  while read -r path; do
    # Folders others share (/usr/games, /usr/share/man/man6) stay; the package's own go.
    [ -e "$root$path" ] && { [ ! -d "$root$path" ] || [[ $path == *zu-show* ]]; } && { echo "left: $path"; left=1; }
  done <"$work/package-files.txt"
  [ $left = 0 ] && echo "purged: none of its $(wc -l <"$work/package-files.txt") paths left"
}

# The README's run command in a bare root, as a new user meets it: the
# packages it adds (at most 300) and the time from the command to the question.
run_command_in_bare_root() {
  use_bare_root run-root && clone || return 1
  local before after start took
  before=$(installed_packages)
  start_xvfb 1024x768
  start=$SECONDS
  in_root "DISPLAY=$DISPLAY ./scripts/run.sh" &
  local show=$!
  wait_for_window_of "$QuestionTitle" 3600 "$show" || { kill "$server_pid"; return 1; }
  took=$((SECONDS - start))
  after=$(installed_packages)
  echo "run command: $((after - before)) packages added, the question after ${took}s" | tee -a "$logs/figures.txt"
  (press_until_gone "$QuestionTitle" Escape) &&
    wait_for_window_of "$ShowTitle" 60 "$show" && look_and_escape "$show" "$logs/run-root-window.png"
  local rc=$?
  kill "$server_pid"
  [ $rc = 0 ] && [ $((after - before)) -le 300 ]
}

fuzzers() {
  in_root 'set -e
    cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DSHOW_FUZZ=ON
    cmake --build build-fuzz -j"$(nproc)" --target fuzz_3ds fuzz_dib fuzz_tga
    for reader in 3ds dib tga; do build-fuzz/tests/fuzz/fuzz_$reader -runs=2000 -max_len=4096; done'
}

# The README's Windows and web commands; test.sh has already built their
# libraries into the dependency cache, so these are the builds themselves.
windows_zip() {
  in_root './scripts/package-windows.sh && python3 -m zipfile -l dist/show-win64.zip && ls -l dist/show-win64.zip'
}
web_page() {
  in_root './scripts/deps.sh && ./scripts/build-web.sh && ls -l dist/web/'
}

debian_source() {
  in_root './scripts/debian-source.sh libopenmpt && ls "$(./scripts/debian-source.sh libopenmpt)"'
}

list=$(git -C "$repo" show HEAD:scripts/deps.sh | bash -s -- --list) || { echo "fresh-check: deps.sh --list failed" >&2; exit 2; }
key=$(printf '%s\n' "$suite" $list | sort -u | sha256sum | cut -c1-16)
cached=$cache/root-$key
deps_cache=$cache/deps-$key
bare=$cache/bare-$suite
mirror=$(host_mirror | head -1)
[ -n "$mirror" ] || { echo "fresh-check: no Debian $suite mirror in /etc/apt sources" >&2; exit 2; }
if [ -d "$cached" ]; then fresh=0 start_from="cached root $key"; else fresh=1 start_from="fresh root, list $key"; fi
echo "fresh-check: $(git -C "$repo" log -1 --format='%h %s' | cut -c1-70)"
echo "fresh-check: Debian $suite from $mirror; $start_from; $(echo $list | wc -w) packages in deps.sh"

step "debootstrap and X tools on this machine" host_tools || verdict
if [ $fresh = 0 ]; then
  touch "$cached"
  step "cached root (debootstrap + deps.sh, list $key)" use_cached_root || verdict
else
  rm -rf "$deps_cache"
  step "debootstrap --variant=minbase $suite" debootstrap_root || verdict
fi
step "clean clone of HEAD into /root/show" clone || verdict
step "README test command: ./scripts/test.sh" in_root ./scripts/test.sh
if [ $fresh = 1 ]; then
  step "keep the root for the next run" save_root
fi
[ -n "$failed" ] && verdict
step "README run command: ./scripts/run.sh (No, look, Escape)" run_show || verdict
step "README Windows command: ./scripts/package-windows.sh" windows_zip
step "README web command: ./scripts/deps.sh && ./scripts/build-web.sh" web_page
step "fuzzers build and run (clang, tests/fuzz/README.md)" fuzzers
step "scripts/debian-source.sh libopenmpt" debian_source
step "README package command: ./scripts/package-deb.sh" package_deb
[ -d "$bare" ] || step "bare root: debootstrap --variant=minbase $suite (kept)" make_bare_root
if [ -d "$bare" ]; then
  [ -d "$work/deb" ] && step "the package in a bare root: apt install, --window, Escape, purge" package_in_bare_root
  step "README run command in a bare root: packages, time to the question" run_command_in_bare_root
fi
[ -f "$logs/figures.txt" ] && sed 's/^/    /' "$logs/figures.txt"
verdict
