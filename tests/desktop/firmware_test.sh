#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds examples/firmware
# against it: vexo_add_images turns its picture into a C array with the
# installed vexo, and the program decodes the array. Then a touched picture
# must be converted again and a changed one reach the program, an unchanged
# one must not be converted, and a size budget and dithering must reach vexo.
# Last, what vexo refuses must stop the configuration, in the function's
# words. Usage: firmware_test.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
trap 'echo "firmware test failed at line $LINENO" >&2' ERR
build=$1
source=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

# A copy, since its picture is changed below.
project="$work/firmware space"
cp -r "$source/examples/firmware" "$project"
tree="$work/build"
cmake -S "$project" -B "$tree" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_C_FLAGS="-Werror" >/dev/null
generated="$tree/vexo_images/firmware/logo.c"

build_and_run() {  # LOG: builds, keeps what the build said, runs the program
  cmake --build "$tree" >"$work/$1"
  "$tree/firmware"
}

printed=$(build_and_run first.log)
echo "$printed"
grep -q "Converting logo.png to logo.c and logo.h" "$work/first.log"
[[ $printed == "logo: 176 x 144, 50688 bytes of pixels from a "*"-byte VEXO file" ]]

build_and_run unchanged.log >/dev/null
if grep -q Converting "$work/unchanged.log"; then
  echo "an unchanged picture was converted again" >&2
  exit 1
fi

touch "$work/marker"
touch "$project/logo.png"
build_and_run touched.log >/dev/null
grep -q "Converting logo.png" "$work/touched.log"
[[ $generated -nt $work/marker ]]

"$prefix/bin/vexo" decode "$source/samples/cat-352x288-fast-201.vxo" "$project/logo.png" >/dev/null
printed=$(build_and_run changed.log)
echo "$printed"
[[ $printed == "logo: 352 x 288, 202752 bytes of pixels from a "*"-byte VEXO file" ]]

# A size budget and dithering reach vexo encode.
budget="$work/budget"
cp -r "$source/examples/firmware" "$budget"
sed -i 's/^vexo_add_images(.*/vexo_add_images(firmware MAX_BYTES 6000 DITHER ordered FILES logo.png)/' \
    "$budget/CMakeLists.txt"
cmake -S "$budget" -B "$budget/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$budget/build" >/dev/null
printed=$("$budget/build/firmware")
echo "$printed"
bytes=${printed##*from a }
(( ${bytes%%-byte*} <= 6000 ))

# Refused while configuring: a quality outside the path's range, and one
# array from two pictures of one target, across calls.
refused() {  # CALLS EXPECTED: configuring with CALLS fails, saying EXPECTED
  local refused="$work/refused"
  rm -rf "$refused"
  cp -r "$source/examples/firmware" "$refused"
  mkdir "$refused/other"
  cp "$refused/logo.png" "$refused/other/logo.PNG"
  sed -i "s|^vexo_add_images(.*|$1|" "$refused/CMakeLists.txt"
  if cmake -S "$refused" -B "$refused/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
       >"$work/refused.log" 2>&1; then
    echo "configured with $1" >&2
    exit 1
  fi
  # CMake wraps its messages: compare with the lines joined.
  tr -s ' \n' '  ' <"$work/refused.log" | grep -qF "$2" || { cat "$work/refused.log" >&2; exit 1; }
}
refused 'vexo_add_images(firmware QUALITY 30 FILES logo.png)' \
        'vexo_add_images: QUALITY must be from 0 to 2 on the predictive path, not 30'
refused 'vexo_add_images(firmware FILES logo.png)\nvexo_add_images(firmware FILES other/logo.PNG)' \
        'other/logo.PNG and '"$work"'/refused/logo.png would both make the array "logo"'
