# What the bare-metal ARM toolchain files here share: the arm-none-eabi GCC
# and its C library, no operating system. A file for one processor sets
# VEXO_ARM_CPU (the -mcpu name) and vexo_arm_target_flags (every flag that
# picks the instruction set, the floating-point ABI and the C library), then
# includes this one. CMake's test programs are built as static libraries,
# since nothing here can link a program without a start-up file and a memory
# map of its own.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_CXX_COMPILER arm-none-eabi-g++)
set(CMAKE_ASM_COMPILER arm-none-eabi-gcc)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# Every function and constant in a section of its own, so that a program's
# link with --gc-sections keeps only what vexo_decode reaches.
set(vexo_bare_metal_flags "${vexo_arm_target_flags} -ffunction-sections -fdata-sections")
set(CMAKE_C_FLAGS_INIT "${vexo_bare_metal_flags}")
set(CMAKE_ASM_FLAGS_INIT "${vexo_bare_metal_flags}")
# The decoder throws nothing and asks no type at run time: no unwinding
# tables or type information in it.
set(CMAKE_CXX_FLAGS_INIT "${vexo_bare_metal_flags} -fno-exceptions -fno-rtti")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--gc-sections")

# Headers and libraries only from the cross compiler's own tree.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
