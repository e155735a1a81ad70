#!/usr/bin/env bash
# Installs the bare-metal build into a temporary prefix and builds
# examples/bare-metal and examples/panel on their own against it, as a
# firmware project would, then runs their programs (under qemu-arm, when it
# is there).
# Usage: example_from_install.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
trap 'echo "bare-metal example test failed at line $LINENO" >&2' ERR
build=$1
source=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for example in bare-metal panel; do
  cmake -S "$source/examples/$example" -B "$work/$example" -G Ninja \
        --toolchain "$source/cmake/toolchains/arm-none-eabi.cmake" \
        -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_C_FLAGS=-Werror >/dev/null
  cmake --build "$work/$example" >/dev/null
  ctest --test-dir "$work/$example" --output-on-failure
done
