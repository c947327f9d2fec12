#!/usr/bin/env bash
# A program's answers to --help and to command lines it cannot take.
#   command_line.sh PROGRAM NO-VALUE WORKDIR   (NO-VALUE: see CMakeLists.txt)
# Each run is in an empty folder with no display: whatever it answers, it must
# neither write there nor open a window.
set -u
program=$1 no_value=$2 work=$3
name=${program##*/}
failed=0
fail() { echo "FAIL: $name $*"; failed=1; }

run() {  # ARG...: runs the program; sets status, out, err
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" "$@") >"$work.out" 2>"$work.err"
  status=$?
  out=$(cat "$work.out") err=$(cat "$work.err")
  [ -z "$(ls -A "$work")" ] || fail "$*: wrote $(ls -A "$work" | head -3 | tr '\n' ' ')into its working folder"
}

# A refusal: exit 2, nothing on stdout, one line on stderr that names the
# argument at fault; a usage line after it is welcome.
expect_refusal() {  # WHAT-IT-NAMES ARG...
  local names=$1; shift
  run "$@"
  [ "$status" = 2 ] || fail "$*: exit $status, expected 2"
  [ -z "$out" ] || fail "$*: wrote to stdout: $(head -c 200 <<<"$out")"
  local lines
  lines=$(wc -l <"$work.err")
  { [ "$lines" = 1 ] || { [ "$lines" = 2 ] && sed -n 2p "$work.err" | grep -qi '^usage'; }; } ||
    fail "$*: $lines lines on stderr: $err"
  head -1 "$work.err" | grep -qF -- "$names" || fail "$*: the line does not name $names: $err"
}

run --help
[ "$status" = 0 ] || fail "--help: exit $status, expected 0 ($err)"
[ -z "$err" ] || fail "--help: wrote to stderr: $err"
head -1 "$work.out" | grep -qi '^usage: ' || fail "--help: no usage line first: $(head -1 "$work.out")"
grep -q -- '--help' "$work.out" || fail "--help: the usage does not list --help"

expect_refusal --no-such-option --no-such-option
case $no_value in
-) ;;
bare) expect_refusal "" ;;
*) expect_refusal "$no_value" "$no_value" ;;
esac
rm -rf "$work" "$work.out" "$work.err"
[ $failed = 0 ] && echo "PASS: $name"
exit $failed
