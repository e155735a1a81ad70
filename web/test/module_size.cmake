# Fails when the module and the page's scripts together exceed LIMIT bytes
# before compression: cmake -DFOLDER=build-wasm/web -DLIMIT=409600 -P module_size.cmake
file(GLOB counted ${FOLDER}/vexo.js ${FOLDER}/vexo.wasm ${FOLDER}/scripts/*.js)
set(total 0)
foreach(file IN LISTS counted)
  file(SIZE ${file} size)
  math(EXPR total "${total} + ${size}")
endforeach()
message(STATUS "vexo.js, vexo.wasm and the page's scripts: ${total} bytes (at most ${LIMIT})")
if(total GREATER LIMIT)
  message(FATAL_ERROR "${total} bytes, more than ${LIMIT}")
endif()
