#!/usr/bin/env bash
# Runs the C example (examples/c/vexo_decode_file.c) on every sample, whole,
# band by band and band by band through a reader, and compares the line it
# prints with the sample's line in pixel-hashes.txt, the table the C++
# regression test keeps (without the result, which a band decode does not
# give).
# Usage: compare_c_example.sh SOURCE-DIR COMMAND [ARGUMENT...]
# where `COMMAND ARGUMENT... FILE` decodes FILE: the program itself, or an
# emulator and the program in a cross build.
set -euo pipefail
source=$1
shift
table="$source/tests/regression/pixel-hashes.txt"

compared=0
different=0
for file in "$source"/samples/*.vxo; do
  name="samples/${file##*/}"
  stored=$(awk -v name="$name" '$1 == name { sub(/^[^ ]+ /, ""); print }' "$table")
  # A failed decode still prints its line, which then differs.
  printed=$("$@" "$file") || true
  banded=$("$@" --bands "$file") || true
  read=$("$@" --read "$file") || true
  compared=$((compared + 1))
  if [[ -z $stored ]]; then
    echo "$name: no stored line in pixel-hashes.txt" >&2
    different=$((different + 1))
  elif [[ $printed != "$stored" ]]; then
    echo "$name: printed '$printed', stored '$stored'" >&2
    different=$((different + 1))
  elif [[ $banded != "$(awk '{ print $1, $2, $4 }' <<< "$stored")" ]]; then
    echo "$name: band by band printed '$banded', stored '$stored'" >&2
    different=$((different + 1))
  elif [[ $read != "$banded" ]]; then
    echo "$name: through a reader printed '$read', band by band '$banded'" >&2
    different=$((different + 1))
  fi
done

echo "C example: $compared samples, $different different from pixel-hashes.txt"
((compared > 0 && different == 0))
