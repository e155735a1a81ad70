#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds a small program
# against the installed decoder library twice, found once with
# find_package(Vexo) and once with pkg-config, and decodes a sample with
# both. Then builds the C example with a C compiler alone (no C++ runtime),
# with pkg-config and as the project of its own that examples/c is, and
# compares what each prints for every sample with the regression table.
# Usage: install_test.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
trap 'echo "install test failed at line $LINENO" >&2' ERR
build=$1
source=$2
consumer="$source/tests/desktop/consumer"
sample="$source/samples/cat-176x144-predictive-101.vxo"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/vexo bin/byteloom bin/vexo-thumbnailer include/vexo/vexo_decoder.h \
            include/vexo/vexo.h lib/libvexo_decoder.a \
            share/mime/packages/vexo.xml share/applications/OrvaneDecoder.desktop \
            share/thumbnailers/vexo.thumbnailer share/man/man1/vexo.1.gz share/man/man3/vexo.3.gz; do
  [[ -e $prefix/$file ]] || { echo "not installed: $file" >&2; exit 1; }
done

# Every manual page carries the version the programs print.
version=$("$prefix/bin/vexo" --version)
for page in "$prefix"/share/man/man[13]/{vexo,byteloom,OrvaneDecoder,vexo-thumbnailer}.[13].gz; do
  [[ ! -e $page ]] || zcat "$page" | head -1 | grep -qF "\"${version/vexo /vexo-toolkit }\"" ||
    { echo "$page is not of $version" >&2; exit 1; }
done

# Every function the C interface declares has its manual page, vexo(3).
functions=$(grep -oE '^[a-z][a-z0-9_ *]*[ *]vexo_[a-z0-9_]+\(' "$source/decoder/include/vexo.h" |
  grep -oE 'vexo_[a-z0-9_]+')
[[ -n $functions ]]
for function in $functions; do
  [[ -e $prefix/share/man/man3/$function.3.gz ]] ||
    { echo "no manual page for $function" >&2; exit 1; }
done

# With CMake.
cmake -S "$consumer" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
with_cmake=$("$work/cmake-build/decode_one" "$sample")

# With pkg-config, as a Makefile would.
pc_dir=$(dirname "$(find "$prefix" -name vexo.pc)")
flags=$(PKG_CONFIG_PATH="$pc_dir" pkg-config --cflags --libs vexo)
# shellcheck disable=SC2086
${CXX:-c++} -std=c++20 "$consumer/decode_one.cpp" -o "$work/decode_one" $flags
with_pkg_config=$("$work/decode_one" "$sample")

echo "find_package: $with_cmake"
echo "pkg-config:   $with_pkg_config"
[[ $with_cmake == "ok 176x144" && $with_cmake == "$with_pkg_config" ]]

# The C interface, from C99 with the C compiler alone.
c_flags=(-std=c99 -Wall -Wextra -Wpedantic -Werror)
cflags=$(PKG_CONFIG_PATH="$pc_dir" pkg-config --cflags vexo)
printf '#include <vexo/vexo.h>\n#include "vexo.h"\nint main(void) { return VEXO_OK; }\n' \
  >"$work/both_includes.c"
# shellcheck disable=SC2086
${CC:-cc} "${c_flags[@]}" -c "$work/both_includes.c" -o "$work/both_includes.o" $cflags
# shellcheck disable=SC2086
${CC:-cc} "${c_flags[@]}" "$source/examples/c/vexo_decode_file.c" -o "$work/vexo_decode_file" $flags
"$source/tests/regression/compare_c_example.sh" "$source" "$work/vexo_decode_file"
cmake -S "$source/examples/c" -B "$work/c-example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_C_FLAGS=-Werror >/dev/null
cmake --build "$work/c-example" >/dev/null
"$source/tests/regression/compare_c_example.sh" "$source" "$work/c-example/vexo_decode_file"
