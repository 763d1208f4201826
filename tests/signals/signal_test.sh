#!/usr/bin/env bash
# Told to end by a signal, the program writes what it can and ends at once:
# no box waits for a person, neither one about its own failure nor one that
# was already up when the signal came.
set -euo pipefail
build_dir=$1
slow_fsync=$2  # a library that makes every fsync slow, preloaded where a row says so
work=$(mktemp -d)
xvfb=""
playing=""
trap 'for pid in $playing $xvfb; do kill "$pid" 2>/dev/null; done; rm -rf "$work"' EXIT
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

# A box that a move brings up: the move is on the disk before the program
# ends, however slow the disk. The game is played on an X server of its own
# with clicks, as a player plays it, and every fsync takes 300 ms, so that
# the last move's write is still under way when the signal comes.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null \
  || fail "the rows that play need Xvfb and xdotool (tools/install-deps.sh)"
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do DISPLAY=":$display" xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
# An instrumented program wants its sanitizer's library loaded first.
preload=$(ldd "$build_dir/bodlany-sachy" | awk '/libasan/ { printf "%s:", $3 }')$slow_fsync

# play_until_box SIGNAL "e2e4 e7e5 ..." TEXT: plays the moves, sends the
# signal once the box of the last move is up, and looks for TEXT in the
# unfinished game's file.
play_until_box() {
  local signal=$1 moves=$2 text=$3
  local dir="$work/play-$signal"
  mkdir -p "$dir/Language"
  cp "$work/bodlany-sachy" "$dir/"
  cp "$build_dir/Language/czech" "$build_dir/Language/deutch" "$build_dir/Language/english" "$dir/Language/"
  printf '[Nastaven\xed]\r\nLeft=0\r\nTop=0\r\nbilydole=1\r\nN11=1\r\nKlasickkameny1=1\r\ncesky=1\r\n' \
    >"$dir/bodlany-sachy.ini"
  DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_DATA_HOME="$dir/data" LD_PRELOAD="$preload" \
    "$dir/bodlany-sachy" 2>"$dir/stderr" &
  local pid=$!
  playing=$pid
  export DISPLAY=":$display"
  local window
  window=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || true
  [ -n "$window" ] || fail "no window on the X server: $(cat "$dir/stderr")"
  # The board lies under the menu bar: 68-pixel squares in a 34-pixel frame.
  local HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$window" | grep '^HEIGHT=')"
  local top=$((HEIGHT - 612))
  click() {
    local file=$(($(printf %d "'${1:0:1}") - 97)) rank=$((${1:1:1} - 1))
    xdotool mousemove --window "$window" $((68 + 68 * file)) $((top + 68 + 68 * (7 - rank))) click 1
  }
  for move in $moves; do
    click "${move:0:2}"
    click "${move:2:2}"
    sleep 0.1
  done
  local windows=1
  for _ in $(seq 100); do
    windows=$(xdotool search --onlyvisible --pid "$pid" | wc -l)
    [ "$windows" -ge 2 ] && break
    sleep 0.05
  done
  [ "$windows" -ge 2 ] || fail "no box came up after $moves"
  end_program "$pid" "$signal"
  playing=""
  [ "$ended_status" != hung ] || fail "still running five seconds after SIG$signal with a box up"
  [ "$ended_status" -eq 0 ] || fail "status $ended_status after SIG$signal: $(cat "$dir/stderr")"
  grep -qF "$text" "$dir/data/bodlany-sachy/rozehrana.pgn" 2>/dev/null \
    || fail "SIG$signal with a box up lost moves: $(cat "$dir/data/bodlany-sachy/rozehrana.pgn" 2>&1)"
}

# The check message, and the question whether to claim a draw.
play_until_box TERM "e2e4 f7f6 d1h5" "1. e4 f6 2. Qh5+ *"
play_until_box HUP "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8" "4. Ng1 Ng8 *"
echo "signal test passed"
