# Warning and sanitizer flags shared by every target of the project.
add_library(vexo_compile_options INTERFACE)
target_compile_options(vexo_compile_options INTERFACE -Wall -Wextra -Wpedantic)
if(VEXO_WARNINGS_AS_ERRORS)
  target_compile_options(vexo_compile_options INTERFACE -Werror)
endif()

# ThreadSanitizer, for the test that decodes on several threads at once.
option(VEXO_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(VEXO_SANITIZE_THREAD)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(VEXO_SANITIZE)
  set(sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_compile_options(${sanitizer_flags})
  add_link_options(${sanitizer_flags})
endif()

# The fuzzers steer by coverage, so every library they link carries the same
# instrumentation as their own files (the runtime comes with the fuzzer's
# link; other programs get the sanitizers' default hooks).
if(VEXO_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Optimisation of the hot paths (the decoder with the kernels it compiles,
# the file decode of the viewer, and the encoder, which runs the same 4 x 4
# loops many times a block) in optimised builds. Measured on the transform
# decoder, -O3 over the -O2 of RelWithDebInfo is worth about a third:
# it unrolls the fixed 4 x 4 loops and vectorises the row loops of packing
# and conversion. No -march here: the default build runs on any x86-64, and
# wider instruction sets come only through the kernels' run-time dispatch.
# Given after CMAKE_CXX_FLAGS_<CONFIG>, so this level is the one that counts.
# A firmware's flash is another matter: the Cortex-M presets ask for -O2,
# which leaves the unrolled copies of -O3 out.
set(VEXO_SPEED_OPTIMISATION "-O3" CACHE STRING
    "Optimisation level of the hot paths in Release and RelWithDebInfo builds")
add_library(vexo_speed_options INTERFACE)
target_compile_options(vexo_speed_options
                       INTERFACE $<$<CONFIG:Release,RelWithDebInfo>:${VEXO_SPEED_OPTIMISATION}>)

# The decoder's small policy (VEXO_DECODER_SMALL) is there for flash: it is
# compiled for size in every optimised build, where the speed policy takes
# the level above.
add_library(vexo_size_options INTERFACE)
target_compile_options(vexo_size_options INTERFACE $<$<CONFIG:Release,RelWithDebInfo>:-Os>)

# Fills in what the C++ library of Debian's emscripten lacks of C++20.
if(CMAKE_SYSTEM_NAME STREQUAL "Emscripten")
  add_compile_options(-include ${CMAKE_CURRENT_LIST_DIR}/wasm/libcxx_compat.h)
endif()
