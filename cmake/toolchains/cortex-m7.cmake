# Bare-metal Cortex-M7 (ARMv7E-M: Thumb-2 with the DSP extension, dual
# issue), as in the STM32F7, STM32H7 and i.MX RT, with the arm-none-eabi GCC
# and newlib-nano. By default with the double-precision FPU of most of those
# parts and its calling convention (-mfloat-abi=hard); see cortex-m.cmake for
# another.
#
# A firmware's own CMake build uses it as it is:
#   cmake -DCMAKE_TOOLCHAIN_FILE=<this folder>/cortex-m7.cmake ...
set(VEXO_ARM_CPU cortex-m7)
set(vexo_default_float_flags "-mfloat-abi=hard -mfpu=fpv5-d16")
include(${CMAKE_CURRENT_LIST_DIR}/cortex-m.cmake)
