#!/usr/bin/env bash
# Installs the bare-metal build into a temporary prefix and builds
# examples/bare-metal on its own against it, as a firmware project would,
# then runs its programs (under qemu-arm, when it is there).
# Usage: example_from_install.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
trap 'echo "bare-metal example test failed at line $LINENO" >&2' ERR
build=$1
source=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source/examples/bare-metal" -B "$work/build" -G Ninja \
      --toolchain "$source/cmake/toolchains/arm-none-eabi.cmake" \
      -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_C_FLAGS=-Werror >/dev/null
cmake --build "$work/build" >/dev/null
ctest --test-dir "$work/build" --output-on-failure
