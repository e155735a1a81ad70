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
