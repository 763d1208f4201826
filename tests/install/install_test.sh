#!/usr/bin/env bash
# The program as a user gets it: installed with `cmake --install` into a
# prefix of one's own, and as the Debian package that `make package` builds,
# checked the way apt and dpkg see it and then started from its unpacked
# files. Each must find its language files and keep its settings beside
# itself when its folder is writable, in the user's configuration folder
# when it is not.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
export QT_QPA_PLATFORM=offscreen

fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/../end_program.sh"

# Runs the program until it has shown its window, then asks it to end, which
# writes the settings.
run() {
  "$@" &
  local pid=$!
  sleep 2
  end_program "$pid" TERM
  [ "$ended_status" != hung ] || fail "$1 did not end when told to (a message box left open at start?)"
  [ "$ended_status" = 0 ] || fail "$1 ended with status $ended_status"
}

# A German choice survives a run only if the language files were found.
check_program() {
  local prefix=$1
  local program=$prefix/games/bodlany-sachy
  [ -x "$program" ] || fail "no program in $prefix/games"
  for f in czech deutch english; do
    [ -f "$prefix/share/games/bodlany-sachy/Language/$f" ] || fail "Language/$f not installed"
  done
  local ini=$prefix/games/bodlany-sachy.ini
  printf '[Nastaven\xed]\r\nnemecky=1\r\ncesky=0\r\n' > "$ini"
  run "$program"
  grep -q '^nemecky=1' "$ini" || { cat "$ini"; fail "language files not found from $program"; }
  grep -q '^Width=622' "$ini" || fail "settings not written beside the program"
  rm "$ini"

  # A user who cannot write to the program's folder, as with the package.
  if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
    local home=$work/home
    rm -rf "$home"
    mkdir -p "$home/config" "$home/run"
    chmod 700 "$home/run"
    chown -R nobody "$home"
    printf '[Nastaven\xed]\r\nanglicky=1\r\ncesky=0\r\n' > "$home/config/bodlany-sachy.ini"
    chown nobody "$home/config/bodlany-sachy.ini"
    run setpriv --reuid=nobody --regid=nogroup --clear-groups \
      env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" "$program"
    grep -q '^anglicky=1' "$home/config/bodlany-sachy.ini" || fail "settings not kept in the configuration folder"
    grep -q '^Width=622' "$home/config/bodlany-sachy.ini" || fail "settings not written to the configuration folder"
    [ ! -e "$ini" ] || fail "settings written into the program's folder"
  fi
}

# 1. cmake --install into a prefix of one's own.
cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
check_program "$work/prefix"

# 2. The Debian package, made as `make package` makes it.
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$(ls "$work"/deb/bodlany-sachy_*.deb)
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = bodlany-sachy ] || fail "package name"
[ "$(field Section)" = games ] || fail "section $(field Section)"
depends=$(field Depends)
for needed in qt6-translations-l10n libqt6svg6 qt6-qpa-plugins fonts-liberation2 libqt6widgets6 libjpeg62-turbo; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "$needed missing from Depends: $depends"
done
# Qt's Czech and German come from a package the .deb depends on.
translations=$(qtpaths6 --query QT_INSTALL_TRANSLATIONS 2>/dev/null || echo /usr/share/qt6/translations)
for lang in cs de; do
  owner=$(dpkg -S "$translations/qtbase_$lang.qm" 2>/dev/null | cut -d: -f1) || true
  [[ ", $depends," == *", $owner"[\ ,]* ]] || fail "qtbase_$lang.qm comes from '$owner', not a dependency"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for path in /usr/games/bodlany-sachy /usr/share/games/bodlany-sachy/Language/czech \
            /usr/share/applications/org.example.bodlany_sachy.desktop \
            /usr/share/metainfo/org.example.bodlany_sachy.metainfo.xml \
            /usr/share/man/man6/bodlany-sachy.6.gz /usr/share/man/cs/man6/bodlany-sachy.6.gz \
            /usr/share/doc/bodlany-sachy/copyright /usr/share/doc/bodlany-sachy/changelog.gz \
            /usr/share/icons/hicolor/scalable/apps/bodlany-sachy.svg; do
  grep -qx "$path" <<<"$contents" || fail "$path not in the package"
done
for size in 16 22 24 32 48 64 128 256 512; do
  grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/bodlany-sachy.png" <<<"$contents" \
    || fail "no ${size}x${size} icon"
done
! grep -q '^/usr/bin/' <<<"$contents" || fail "a game's program belongs in /usr/games, not /usr/bin"

# Every dependency resolvable from what this system knows, as apt resolves
# it before installing; no download, no change.
apt-get install --simulate --no-download -o Debug::NoLocking=1 "$deb" >"$work/apt.log" 2>&1 \
  || { cat "$work/apt.log"; fail "apt cannot install the package"; }
grep -q '^Inst bodlany-sachy ' "$work/apt.log" || { cat "$work/apt.log"; fail "apt would not install it"; }

dpkg-deb --extract "$deb" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop || fail "desktop entry"
appstreamcli validate-tree --no-net "$work/root" >"$work/appstream.log" 2>&1 \
  || { cat "$work/appstream.log"; fail "software-centre metadata"; }
for page in "$work"/root/usr/share/man/man6/bodlany-sachy.6.gz "$work"/root/usr/share/man/cs/man6/bodlany-sachy.6.gz; do
  warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
done
check_program "$work/root/usr"
echo "install test passed"
