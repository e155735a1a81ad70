#!/usr/bin/env bash
# Checks the desktop data files with the desktop's own tools: the MIME
# package is valid XML and builds a MIME database that maps *.vxo and the
# "VEXO" magic to image/x-vexo; the menu entry passes desktop-file-validate
# and the thumbnailer entry has the keys file managers read. Exits 77
# (skipped) when a tool is missing.
set -euo pipefail
trap 'echo "check failed at line $LINENO" >&2' ERR
desktop=$1

for tool in xmllint desktop-file-validate update-mime-database; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

xmllint --noout "$desktop/vexo-mime.xml" "$desktop/orvane-decoder.svg"
desktop-file-validate "$desktop/OrvaneDecoder.desktop"

# The thumbnailer entry: the validator knows only desktop entries, so check
# the three keys file managers read.
thumbnailer="$desktop/vexo.thumbnailer"
grep -qx '\[Thumbnailer Entry\]' "$thumbnailer"
grep -qx 'Exec=vexo-thumbnailer -s %s %i %o' "$thumbnailer"
grep -qx 'MimeType=image/x-vexo;' "$thumbnailer"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/mime/packages"
cp "$desktop/vexo-mime.xml" "$work/mime/packages/vexo.xml"
XDG_DATA_DIRS="$work" update-mime-database "$work/mime"
grep -qx 'image/x-vexo:\*\.vxo' <(cut -d: -f2- "$work/mime/globs2")
grep -q 'image/x-vexo' "$work/mime/magic"
grep -q 'VEXO' "$work/mime/magic"
grep -q 'comment>VEXO picture<' "$work/mime/image/x-vexo.xml"
echo "desktop files are valid"
