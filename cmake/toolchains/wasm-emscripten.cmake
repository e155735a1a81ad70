# WebAssembly for web browsers with Debian's emscripten (package
# emscripten): its own toolchain file, found beside emcc.
find_program(VEXO_EMCC emcc REQUIRED)
get_filename_component(vexo_emscripten_root "${VEXO_EMCC}" REALPATH)
get_filename_component(vexo_emscripten_root "${vexo_emscripten_root}" DIRECTORY)
include("${vexo_emscripten_root}/cmake/Modules/Platform/Emscripten.cmake")

# Linking runs emscripten's JavaScript optimiser under node, and it needs
# acorn, which Debian installs under /usr/share/nodejs: Debian's own node
# looks there, a node installed from elsewhere does not.
set(CMAKE_CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")

# Fills in what this emscripten's C++ library lacks of C++20.
set(CMAKE_CXX_FLAGS_INIT "-include ${CMAKE_CURRENT_LIST_DIR}/../wasm/libcxx_compat.h")
