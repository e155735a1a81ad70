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

# The 128-bit vector instructions every current browser runs (Chromium 91,
# Firefox 89, Safari 16.4 and later): the compiler vectorises the plain
# kernels' row loops with them, a quarter to a third faster decodes.
set(CMAKE_CXX_FLAGS_INIT "-msimd128")
