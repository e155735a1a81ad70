# Warning and sanitizer flags shared by every target of the project.
add_library(vexo_compile_options INTERFACE)
target_compile_options(vexo_compile_options INTERFACE -Wall -Wextra -Wpedantic)
if(VEXO_WARNINGS_AS_ERRORS)
  target_compile_options(vexo_compile_options INTERFACE -Werror)
endif()

if(VEXO_SANITIZE)
  set(sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_compile_options(${sanitizer_flags})
  add_link_options(${sanitizer_flags})
endif()
