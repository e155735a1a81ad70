// The row kernel of the 5-6-5 to 24-bit conversion: one row of 16-bit
// pixels to blue-green-red bytes, in a plain form and in wider forms for the
// processors that run them. Every form writes exactly 3 bytes per pixel and
// gives identical bytes.
//
// The forms are chosen at run time, once per process: the architecture's
// choice (x86/bgr_row_choice_x86.cpp, or bgr_row_choice_portable.cpp where
// there is no wider form), which the build picks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexo {

// `count` pixels from `pixels` to 3 x `count` bytes at `bgr`.
using BgrRowKernel = void (*)(const uint16_t* pixels, size_t count, uint8_t* bgr);

void Rgb565RowToBgrPlain(const uint16_t* pixels, size_t count, uint8_t* bgr);

// A form of the kernel this build holds.
struct BgrRowVariant {
  const char* name;
  BgrRowKernel kernel;
  bool (*runsHere)();  // whether this processor runs it
};

// Every form this build holds, the plain one first.
std::span<const BgrRowVariant> BgrRowVariants();

// The form this process uses, chosen on first use: the widest the processor
// runs, or a narrower one the environment asks for (x86: VEXO_SIMD).
const BgrRowVariant& ActiveBgrRowVariant();

inline BgrRowKernel ActiveBgrRowKernel() {
  return ActiveBgrRowVariant().kernel;
}

}  // namespace vexo
