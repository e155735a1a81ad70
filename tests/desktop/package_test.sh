#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks that it holds the
# programs, the library, the plugin and the desktop files under /usr, and
# depends on the shared libraries they link. Exits 77 (skipped) without
# dpkg's tools. Usage: package_test.sh BUILD-DIR
set -euo pipefail
trap 'echo "package test failed at line $LINENO" >&2' ERR
build=$1
for tool in dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
package=$(echo "$work"/vexo-toolkit_*.deb)

contents=$(dpkg-deb -c "$package" | awk '{print $6}')
# The library folder is lib/ or Debian's multiarch one, by the prefix.
for file in usr/bin/vexo usr/bin/byteloom usr/bin/vexo-thumbnailer \
            usr/include/vexo/vexo_decoder.h 'usr/lib/(.*/)?cmake/Vexo/VexoConfig.cmake' \
            'usr/lib/(.*/)?pkgconfig/vexo.pc' 'usr/lib/.*/qt6/plugins/imageformats/libqvexo.so' \
            usr/share/mime/packages/vexo.xml usr/share/applications/OrvaneDecoder.desktop \
            usr/share/man/man1/vexo.1.gz; do
  grep -qxE -- "\./$file" <<<"$contents" || { echo "missing from the package: $file" >&2; exit 1; }
done

depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libspng0 libjpeg62-turbo libqt6gui6 libqt6core6; do
  grep -q "\b$library\b" <<<"$depends" || { echo "no dependency on $library" >&2; exit 1; }
done
pc=$(grep -E '/pkgconfig/vexo.pc$' <<<"$contents")
grep -qx 'prefix=/usr' <(dpkg-deb --fsys-tarfile "$package" | tar -xO "$pc")
