#!/usr/bin/env bash
# Fails when the decoder archive needs anything of a C++ runtime, a heap,
# unwinding or thread-local storage: the symbols it leaves undefined must be
# resolvable by a bare-metal program with a C library's memcpy and friends
# and the compiler's helper routines alone.
#
#   check_runtime_free.sh <nm> <archive>
set -euo pipefail
nm=$1
archive=$2

forbidden='^(malloc|calloc|realloc|free|aligned_alloc|posix_memalign|_sbrk|sbrk'
forbidden+='|_Znw.*|_Zna.*|_Zdl.*|_Zda.*|_ZSt7nothrow|__cxa_.*|__gxx_personality.*'
forbidden+='|_Unwind_.*|__aeabi_unwind_cpp_pr.*|__aeabi_read_tp|__tls_get_addr|__emutls_.*)$'

undefined=$("$nm" -u "$archive" | awk 'NF == 2 && $1 == "U" { print $2 }' | sort -u)
if [[ -z $undefined ]]; then
  echo "no undefined symbols read from $archive: is it an archive?" >&2
  exit 1
fi
found=$(grep -E "$forbidden" <<<"$undefined" || true)
if [[ -n $found ]]; then
  echo "$archive needs a runtime a bare-metal program does not have:" >&2
  echo "$found" >&2
  exit 1
fi
echo "$(wc -l <<<"$undefined") undefined symbols, none of a heap, C++ runtime, unwinding or TLS"
