#!/usr/bin/env bash
# How long the program takes from launch until its main window is on the
# screen, and how much memory it holds once shown, next to a bare Qt 6 main
# window with one menu as the yardstick. Runs under the current X display, or
# starts a private Xvfb when there is none.
#
#   tools/measure-startup.sh [PROGRAM]     (default: build/bodlany-sachy)
#   RUNS=11 tools/measure-startup.sh       (default: 7 runs each, median shown)
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "${1:-build/bodlany-sachy}")
runs=${RUNS:-7}
[ -x "$program" ] || { echo "no program at $program; build it first (make build)" >&2; exit 1; }

need() { command -v "$1" >/dev/null 2>&1; }
if ! need xdotool || ! need Xvfb || ! need pkg-config; then
  echo "installing xdotool, xvfb and pkg-config for this measurement" >&2
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq && $SUDO apt-get install -y -qq xdotool xvfb pkg-config >/dev/null
fi

work=$(mktemp -d /tmp/measure-startup.XXXXXX)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
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

# The yardstick: a main window with one menu and nothing else.
cat >"$work/bare.cpp" <<'EOF'
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
EOF
# shellcheck disable=SC2046
g++ -std=c++17 -O2 -fPIC "$work/bare.cpp" -o "$work/bare" $(pkg-config --cflags --libs Qt6Widgets)

# The program runs from a folder of its own with its language files, so that
# the settings file it writes on the way out lands there and not in the build.
mkdir -p "$work/program"
cp "$program" "$work/program/"
[ -d "$(dirname "$program")/Language" ] && cp -r "$(dirname "$program")/Language" "$work/program/"
prog_copy="$work/program/$(basename "$program")"

# One launch: prints "milliseconds-to-visible resident-kB".
measure() {
  local name=$1; shift
  local start now pid rss
  start=$(date +%s%N)
  "$@" >/dev/null 2>>"$work/stderr.log" &
  pid=$!
  app_pid=$pid
  # Only this launch's window counts, not one already open on the display.
  while ! xdotool search --all --onlyvisible --pid "$pid" --name "$name" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$* exited before showing a window:" >&2; tail -5 "$work/stderr.log" >&2; return 1; }
    now=$(date +%s%N)
    [ $(((now - start) / 1000000)) -gt 20000 ] && { echo "no window after 20 s" >&2; kill "$pid"; return 1; }
  done
  now=$(date +%s%N)
  sleep 0.5  # let the first paint finish before reading the memory
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  app_pid=""
  echo "$(((now - start) / 1000000)) $rss"
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# The two alternate, so that a busy machine slows both alike; one unrecorded
# launch each first fills the disk cache.
measure "Bodlany" "$prog_copy" >/dev/null
measure "Bare Qt window" "$work/bare" >/dev/null
: >"$work/program.txt"
: >"$work/bare.txt"
for _ in $(seq "$runs"); do
  measure "Bodlany" "$prog_copy" >>"$work/program.txt"
  measure "Bare Qt window" "$work/bare" >>"$work/bare.txt"
done
declare -A ms fastest kb
for which in program bare; do
  ms[$which]=$(cut -d' ' -f1 "$work/$which.txt" | median)
  fastest[$which]=$(cut -d' ' -f1 "$work/$which.txt" | sort -n | head -1)
  kb[$which]=$(cut -d' ' -f2 "$work/$which.txt" | median)
done
[ -n "${VERBOSE:-}" ] && paste "$work/program.txt" "$work/bare.txt" >&2

# On a busy machine the fastest launch says more than the median.
awk -v runs="$runs" -v name="$(basename "$program")" \
    -v pms="${ms[program]}" -v pmin="${fastest[program]}" -v pkb="${kb[program]}" \
    -v bms="${ms[bare]}" -v bmin="${fastest[bare]}" -v bkb="${kb[bare]}" 'BEGIN {
  printf "%-24s %14s %12s %14s\n", runs " runs each", "median ms", "fastest ms", "resident MiB"
  printf "%-24s %14d %12d %14.1f\n", name, pms, pmin, pkb / 1024
  printf "%-24s %14d %12d %14.1f\n", "bare Qt main window", bms, bmin, bkb / 1024
  printf "%-24s %14.2f %12.2f %14.2f\n", "ratio", pms / bms, pmin / bmin, pkb / bkb
}'
