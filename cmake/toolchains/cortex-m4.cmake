# Bare-metal Cortex-M4 (ARMv7E-M: Thumb-2 with the DSP extension), as in the
# STM32F4, nRF52 and SAMD51, with the arm-none-eabi GCC and newlib-nano. By
# default with the single-precision FPU those parts have and its calling
# convention (-mfloat-abi=hard); see cortex-m.cmake for another.
#
# A firmware's own CMake build uses it as it is:
#   cmake -DCMAKE_TOOLCHAIN_FILE=<this folder>/cortex-m4.cmake ...
set(VEXO_ARM_CPU cortex-m4)
set(vexo_default_float_flags "-mfloat-abi=hard -mfpu=fpv4-sp-d16")
include(${CMAKE_CURRENT_LIST_DIR}/cortex-m.cmake)
