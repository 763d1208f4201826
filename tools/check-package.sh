#!/usr/bin/env bash
# Checks a built Debian package as Debian and the desktop check theirs:
# lintian must report no error and no warning, and the desktop entry and the
# software-centre metadata inside it must validate.
#   tools/check-package.sh build/bodlany-sachy_1.0.0_amd64.deb
set -euo pipefail
deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "lintian $(lintian --version | awk '{print $2}'): $deb"
lintian --fail-on error,warning --display-info "$deb" 2> >(grep -v 'running with root privileges' >&2)

dpkg-deb --extract "$deb" "$work"
desktop-file-validate "$work"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$work"/usr/share/metainfo/*.metainfo.xml
appstreamcli validate-tree --no-net --pedantic "$work"
echo "package check passed"
