// What the C++20 library of Debian's emscripten (LLVM 14's libc++) lacks and
// the toolkit's sources use, included before every source of the wasm build.
// Each is the standard's definition; a newer library brings its own.
#pragma once

#include <memory>
#include <type_traits>

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
namespace std {

// An array of T left default-initialised (for bytes: not cleared).
template <class T, class = enable_if_t<is_unbounded_array_v<T>>>
unique_ptr<T> make_unique_for_overwrite(size_t size) {
  return unique_ptr<T>(new remove_extent_t<T>[size]);
}

}  // namespace std
#endif
