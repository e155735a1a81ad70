// The fast path's choices for the processor being built for, made at build
// time. The decoder asks only these.
#pragma once

namespace vexo {

// Whether the symbol cutting keeps its mask in a register. Where an AND takes
// a shifted register operand (32-bit ARM state, Thumb-2), a symbol is then
// cut with one instruction that also tests it for 0, instead of a shift and
// an AND with a constant. Thumb-1 has no such operand and too few registers,
// and a 64-bit processor cuts from a wide window as it is.
#if defined(__thumb__) && !defined(__thumb2__)
inline constexpr bool kFastSymbolMaskInRegister = false;
#else
inline constexpr bool kFastSymbolMaskInRegister = sizeof(void*) < 8;
#endif

}  // namespace vexo
