#!/usr/bin/env bash
# Installs the built package with apt into this system, as a user installs
# it, starts the installed game as an ordinary user, and removes the package
# again (also a copy that was installed before). Changes the system, so it
# runs only where that is wanted (CI) and as root:   tests/install/apt_install_test.sh build/bodlany-sachy_1.0.0_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "apt install test needs root"; exit 1; }
if dpkg-query -W -f='${Status}' bodlany-sachy 2>/dev/null | grep -q 'install ok installed'; then
  echo "note: replacing the bodlany-sachy installed here; it is purged at the end"
fi
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq bodlany-sachy >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/../end_program.sh"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 \
  || { cat "$work/apt.log"; fail "apt could not install $deb"; }

# Debian's PATH for ordinary users, from /etc/profile.
user_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
[ "$(PATH=$user_path command -v bodlany-sachy)" = /usr/games/bodlany-sachy ] || fail "bodlany-sachy not in /usr/games"
man -w bodlany-sachy >/dev/null || fail "no manual page"
LANGUAGE=cs man -w bodlany-sachy | grep -q '/cs/' || fail "no Czech manual page"
[ -f /usr/share/metainfo/org.example.bodlany_sachy.metainfo.xml ] || fail "no metainfo"

# An ordinary user: German chosen, settings in the configuration folder.
home=$work/home
mkdir -p "$home/.config" "$home/run"
chmod 700 "$home/run"
printf '[Nastaven\xed]\r\nnemecky=1\r\ncesky=0\r\n' > "$home/.config/bodlany-sachy.ini"
chown -R nobody "$home"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env -i PATH=$user_path HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
  bodlany-sachy &
pid=$!
sleep 3
end_program "$pid" TERM
[ "$ended_status" != hung ] || fail "the installed program did not end when told to (a message box left open at start?)"
[ "$ended_status" = 0 ] || fail "the installed program did not end cleanly (status $ended_status)"
grep -q '^nemecky=1' "$home/.config/bodlany-sachy.ini" || fail "language files not found when installed"
grep -q '^Width=622' "$home/.config/bodlany-sachy.ini" || fail "settings not written to ~/.config"
[ ! -e /usr/games/bodlany-sachy.ini ] || fail "settings written into /usr/games"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq bodlany-sachy >/dev/null
[ ! -e /usr/games/bodlany-sachy ] && [ ! -e /usr/share/games/bodlany-sachy ] || fail "files left after purge"
echo "apt install test passed"
