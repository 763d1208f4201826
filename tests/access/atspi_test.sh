#!/usr/bin/env bash
# The program as a screen reader meets it, in each language: its accessible
# tree read over AT-SPI under Xvfb with a D-Bus session of its own, and a
# game to mate played with key events only (atspi_check.py).
set -euo pipefail
build_dir=$1
language_dir=$2  # the source tree's, which the build copies only when it links the program
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }

for tool in Xvfb xdotool xprop dbus-send dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || skip "$tool is missing (tools/install-deps.sh installs it)"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is missing (tools/install-deps.sh installs it)"

work=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
cp "$build_dir/bodlany-sachy" "$work/"
mkdir "$work/Language"
cp "$language_dir/czech" "$language_dir/deutch" "$language_dir/english" "$work/Language/"

# An X server of its own, on the first free display.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || skip "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"

# One language inside its own session bus: the accessibility bus, the
# program, and the reader.
cat > "$work/session.sh" <<'INNER'
#!/usr/bin/env bash
work=$1 here=$2 language=$3
# The reader finds the accessibility bus through the X server's root window
# before it asks the session: the last language's bus must not be found.
xprop -root -remove AT_SPI_BUS 2>/dev/null
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
for _ in $(seq 50); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
  sleep 0.1
done
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 \
  || { kill $bus; echo "SKIP: the AT-SPI bus did not start"; exit 77; }
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_DATA_HOME="$work/.local/share" \
  "$work/bodlany-sachy" 2>"$work/stderr-$language" &
program=$!
timeout 40 /usr/bin/python3 "$here/atspi_check.py" "$language"
status=$?
kill $program 2>/dev/null
for _ in $(seq 30); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
kill -9 $program 2>/dev/null
kill $bus 2>/dev/null
wait 2>/dev/null
exit $status
INNER
chmod +x "$work/session.sh"

for language in cs de en; do
  case $language in
    cs) flags="cesky=1 nemecky=0 anglicky=0" ;;
    de) flags="cesky=0 nemecky=1 anglicky=0" ;;
    en) flags="cesky=0 nemecky=0 anglicky=1" ;;
  esac
  # White at the bottom and the move list shown, so that its panel is read too.
  { printf '[Nastaven\xed]\r\nbilydole=1\r\ncernydole=0\r\nzapis=1\r\n'; for f in $flags; do printf '%s\r\n' "$f"; done; } \
    > "$work/bodlany-sachy.ini"
  rm -rf "$work/.local"
  status=0
  dbus-run-session -- "$work/session.sh" "$work" "$here" "$language" 2> >(grep -v "fd limit\|Activating service\|Successfully activated\|SpiRegistry daemon" >&2) \
    || status=$?
  [ "$status" -eq 77 ] && skip "the AT-SPI bus could not start"
  # A sanitizer's report (the asan build) fails the run as well.
  grep -q "Sanitizer" "$work/stderr-$language" && status=1
  [ "$status" -eq 0 ] || { echo "--- program's messages:"; cat "$work/stderr-$language"; exit 1; }
done
