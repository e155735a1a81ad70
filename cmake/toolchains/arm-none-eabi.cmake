# Bare-metal ARM7TDMI in Thumb state, with the arm-none-eabi GCC and its C
# library (newlib).
set(VEXO_ARM_CPU arm7tdmi)
set(vexo_arm_target_flags "-mcpu=arm7tdmi -mthumb")
include(${CMAKE_CURRENT_LIST_DIR}/bare-metal-arm.cmake)
