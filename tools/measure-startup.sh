#!/usr/bin/env bash
# How long the program takes from launch until the X server maps its main
# window, how much later the board is on it, and how much memory it holds
# once shown, next to a bare Qt 6 main window with one menu as the yardstick.
# The times come from the X server's own events (tools/startup-probe.c): a map
# event and the damage of the first paint, not from polling, which would hide
# differences of a few milliseconds. Runs under the current X display, or
# starts a private Xvfb when there is none.
#
#   tools/measure-startup.sh [PROGRAM]     (default: build/bodlany-sachy)
#   RUNS=11 tools/measure-startup.sh       (default: 11 runs each, median shown)
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "${1:-build/bodlany-sachy}")
runs=${RUNS:-11}
[ -x "$program" ] || { echo "no program at $program; build it first (make build)" >&2; exit 1; }

missing=()
for p in xvfb libx11-dev libxdamage-dev pkg-config qt6-base-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing ${missing[*]} for this measurement" >&2
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq && $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

work=$(mktemp -d /tmp/measure-startup.XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

gcc -O2 -o "$work/probe" tools/startup-probe.c -lX11 -lXdamage

# The yardstick: a main window with one menu and nothing else.
cat >"$work/bare.cpp" <<'CPP'
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Bare Qt window");
    window.menuBar()->addMenu("File")->addAction("Quit", &app, &QApplication::quit);
    window.resize(612, 631);
    window.show();
    return app.exec();
}
CPP
# shellcheck disable=SC2046
g++ -std=c++17 -O2 -fPIC "$work/bare.cpp" -o "$work/bare" $(pkg-config --cflags --libs Qt6Widgets)

# The program runs from a folder of its own with its language files, so that
# no settings file of the build is read or written.
mkdir -p "$work/program"
cp "$program" "$work/program/"
[ -d "$(dirname "$program")/Language" ] && cp -r "$(dirname "$program")/Language" "$work/program/"
prog_copy="$work/program/$(basename "$program")"

# One launch: appends "map-ms painted-ms resident-kB" to the file named first.
# The painted time is that of the whole board (612 x 612 pixels).
measure() {
  local out=$1; shift
  local result pid
  result=$("$work/probe" 200 200 612 612 -- "$@") || { echo "$* showed no window: $result" >&2; return 1; }
  pid=$(sed -n 's/^pid=//p' <<<"$result")
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  sed -n 's/^map_ms=\([^ ]*\) painted_ms=\([^ ]*\) rss_kib=\(.*\)$/\1 \2 \3/p' <<<"$result" >>"$out"
  sleep 0.2
}

# The two alternate, so that a busy machine slows both alike; one unrecorded
# launch each first fills the disk cache.
measure /dev/null "$prog_copy"
measure /dev/null "$work/bare"
for _ in $(seq "$runs"); do
  measure "$work/program.txt" "$prog_copy"
  measure "$work/bare.txt" "$work/bare"
done
[ -n "${VERBOSE:-}" ] && paste "$work/program.txt" "$work/bare.txt" >&2

python3 - "$work" "$runs" "$(basename "$program")" <<'PY'
import statistics, sys
work, runs, name = sys.argv[1], sys.argv[2], sys.argv[3]
def rows(which):
    return [tuple(float(x) for x in line.split()) for line in open(f"{work}/{which}.txt")]
p, b = rows("program"), rows("bare")
base = statistics.median(r[0] for r in b)
print(f"{runs + ' runs each':22s} {'map fastest':>11s} {'map median':>10s} {'x bare':>7s} {'board after map':>15s} {'resident MiB':>12s}")
for label, r in ((name, p), ("bare Qt main window", b)):
    maps = [x[0] for x in r]
    after = [x[1] - x[0] for x in r if x[1] >= 0]
    board = f"{statistics.median(after):.1f}" if after else "-"
    print(f"{label:22s} {min(maps):11.1f} {statistics.median(maps):10.1f} {statistics.median(maps) / base:7.2f}"
          f" {board:>15s} {statistics.median(x[2] for x in r) / 1024:12.1f}")
PY
