# Bare-metal Cortex-M0+ (ARMv6-M: Thumb-1 with a few 32-bit instructions, no
# unaligned accesses, no FPU), as in the RP2040, SAMD21 and STM32G0, with the
# arm-none-eabi GCC and newlib-nano. Also the file for a Cortex-M0 or M1.
#
# A firmware's own CMake build uses it as it is:
#   cmake -DCMAKE_TOOLCHAIN_FILE=<this folder>/cortex-m0plus.cmake ...
set(VEXO_ARM_CPU cortex-m0plus)
set(vexo_default_float_flags "-mfloat-abi=soft")
include(${CMAKE_CURRENT_LIST_DIR}/cortex-m.cmake)
