# What the Cortex-M toolchain files (cortex-m0plus.cmake, cortex-m4.cmake,
# cortex-m7.cmake) share: Thumb code for the core they name in VEXO_ARM_CPU,
# newlib-nano as the C library (--specs=nano.specs, given when compiling so
# that its headers match the library it links), and the floating-point flags
# in the cache variable VEXO_ARM_FLOAT_FLAGS.
#
# Every object of a program must agree on the floating-point calling
# convention (the linker refuses to mix "uses VFP register arguments" with
# objects that do not), although the decoder itself computes no floats: a
# firmware built with another convention than the default of its core's file
# gives its own, for example
#   -DVEXO_ARM_FLOAT_FLAGS="-mfloat-abi=soft"
set(VEXO_ARM_FLOAT_FLAGS "${vexo_default_float_flags}"
    CACHE STRING "Floating-point ABI and unit flags for -mcpu=${VEXO_ARM_CPU}")
# Test programs CMake compiles inside its checks see the same value.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VEXO_ARM_FLOAT_FLAGS)

set(vexo_arm_target_flags "-mcpu=${VEXO_ARM_CPU} -mthumb ${VEXO_ARM_FLOAT_FLAGS} --specs=nano.specs")
include(${CMAKE_CURRENT_LIST_DIR}/bare-metal-arm.cmake)
