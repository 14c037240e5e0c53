#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the desktop entry
# there: valid, and its icon installed as a scalable picture under the name
# the entry gives; and the program's Latin face installed with its licence.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
entry=$prefix/share/applications/zuvo.desktop
desktop-file-validate "$entry"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -n "$icon" ] || { echo "the desktop entry names no icon"; exit 1; }
svg=$prefix/share/icons/hicolor/scalable/apps/$icon.svg
[ -f "$svg" ] || { echo "no icon at $svg"; exit 1; }
python3 -c 'import sys, xml.dom.minidom; d = xml.dom.minidom.parse(sys.argv[1]); assert d.documentElement.tagName == "svg"' "$svg"
# The Latin face, both weights, with its licence beside it.
for f in ZuvoLatin-Regular.ttf ZuvoLatin-Bold.ttf ZuvoLatin-COPYRIGHT; do
  [ -s "$prefix/share/zuvo/fonts/$f" ] || { echo "no $f in $prefix/share/zuvo/fonts"; exit 1; }
done
