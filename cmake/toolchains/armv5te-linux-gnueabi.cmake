# Cross build for ARMv5TE devices (ARM9 class, soft float) with Debian's
# arm-linux-gnueabi compilers. -march=armv5te is their default already; it is
# given so that the build stays ARMv5TE whatever the compiler's default.
#
# Programs are linked statically, so they run under `qemu-arm` (and on a
# device) without the cross C library beside them; the tests run through it
# as CMAKE_CROSSCOMPILING_EMULATOR. Its -L names Debian's cross sysroot for a
# program linked without -static.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)
set(CMAKE_C_FLAGS_INIT "-march=armv5te")
set(CMAKE_CXX_FLAGS_INIT "-march=armv5te")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Libraries and headers only from Debian's cross sysroot; programs (the
# emulator, pkg-config) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabi)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Only running the tests needs it (they are listed when ctest runs), so a
# build for a device configures without it.
find_program(VEXO_QEMU_ARM qemu-arm)
if(VEXO_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXO_QEMU_ARM} -L ${CMAKE_FIND_ROOT_PATH})
endif()
