#!/usr/bin/env bash
# Told to end by a signal, the program writes what it can and ends at once:
# no box waits for a person, neither one about its own failure nor one that
# was already up when the signal came.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build_dir/bodlany-sachy" "$work/"
ini="$work/bodlany-sachy.ini"
export QT_QPA_PLATFORM=offscreen

fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/../end_program.sh"

# Starts the program, lets it come up, sends the signal and gives it five
# seconds to end; prints its exit status.
run_and_signal() {
  local signal=$1
  "$work/bodlany-sachy" 2>"$work/stderr" &
  local pid=$!
  sleep 3
  end_program "$pid" "$signal"
  [ "$ended_status" != hung ] || fail "still running five seconds after SIG$signal"
  echo "$ended_status"
}

mkdir "$work/Language"
cp "$build_dir/Language/czech" "$build_dir/Language/deutch" "$build_dir/Language/english" "$work/Language/"

# A settings file the user made read-only: not written, and said so on
# standard error rather than in a box.
printf '[Nastaven\xed]\r\nN21=1\r\n' > "$ini"
chmod 0444 "$ini"
cp "$ini" "$work/before"
status=$(run_and_signal TERM)
[ "$status" -ne 0 ] || fail "a failed write ended with status 0"
grep -q "Unable to write to $ini" "$work/stderr" || fail "no report on standard error: $(cat "$work/stderr")"
cmp -s "$ini" "$work/before" || fail "the read-only file was changed"
[ "$(stat -c %a "$ini")" = 444 ] || fail "the read-only file lost its mode"

# A writable one is written, on SIGHUP as on SIGTERM.
chmod 0644 "$ini"
status=$(run_and_signal HUP)
[ "$status" -eq 0 ] || fail "status $status after writing the settings"
grep -q '^Width=622' "$ini" || fail "settings not written on SIGHUP"

# The start-up warning about a missing language file is up: the signal ends
# the program all the same.
rm "$work/Language/english"
cp "$ini" "$work/before"
status=$(run_and_signal INT)
[ "$status" -eq 0 ] || fail "status $status with the start-up warning up"
cmp -s "$ini" "$work/before" || fail "settings written before the window was complete"
echo "signal test passed"
