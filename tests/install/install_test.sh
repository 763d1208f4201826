#!/usr/bin/env bash
# Installs the program into a temporary prefix and starts it the way a user
# would: it must find its language files beside itself and keep its settings
# beside itself when that folder is writable, in the user's configuration
# folder when it is not.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

cmake --install "$build_dir" --prefix "$work/usr" >/dev/null
app_dir=$(dirname "$(readlink -f "$work/usr/bin/bodlany-sachy")")
for f in czech deutch english; do
  [ -f "$app_dir/Language/$f" ] || { echo "FAIL: Language/$f not installed"; exit 1; }
done
grep -q '^Exec=bodlany-sachy' "$work/usr/share/applications/bodlany-sachy.desktop"

# Runs the program until it has shown its window, then asks it to end, which
# writes the settings.
run() {
  "$@" &
  local pid=$!
  sleep 2
  kill -TERM "$pid"
  wait "$pid"
}

export QT_QPA_PLATFORM=offscreen

# German chosen: it stays German only if the language files were found.
printf '[Nastaven\xed]\r\nnemecky=1\r\ncesky=0\r\n' > "$app_dir/bodlany-sachy.ini"
run "$work/usr/bin/bodlany-sachy"
grep -q '^nemecky=1' "$app_dir/bodlany-sachy.ini" || { echo "FAIL: language files not found"; cat "$app_dir/bodlany-sachy.ini"; exit 1; }
grep -q '^Width=622' "$app_dir/bodlany-sachy.ini" || { echo "FAIL: settings not written beside the program"; exit 1; }
rm "$app_dir/bodlany-sachy.ini"

# An installed program whose folder the user cannot write to.
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
  config="$work/config"
  mkdir -p "$config" "$work/run"
  chmod 700 "$work/run"
  chown nobody "$config" "$work/run"
  run setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$work" XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$work/run" "$work/usr/bin/bodlany-sachy"
  [ -f "$config/bodlany-sachy.ini" ] || { echo "FAIL: no settings in the configuration folder"; ls -la "$config"; exit 1; }
  [ ! -e "$app_dir/bodlany-sachy.ini" ] || { echo "FAIL: settings written into the program folder"; exit 1; }
fi
echo "install test passed"
