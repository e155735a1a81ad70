// Shared by the x86 row kernels: the byte shuffles that interleave 16 blue,
// 16 green and 16 red bytes into 48 bytes of blue-green-red.
#pragma once

#include <array>
#include <cstdint>

namespace vexo::bgr_detail {

// Shuffle control for output chunk `chunk` (0..2, 16 bytes each) taking from
// colour plane `plane` (0 blue, 1 green, 2 red): byte j of the chunk is
// pixel (16 chunk + j) / 3 of the plane when (16 chunk + j) mod 3 is the
// plane, and zero (control 0x80) otherwise.
constexpr std::array<int8_t, 16> InterleaveControl(int chunk, int plane) {
  std::array<int8_t, 16> control{};
  for (int j = 0; j < 16; ++j) {
    const int index = 16 * chunk + j;
    control[j] = index % 3 == plane ? static_cast<int8_t>(index / 3) : static_cast<int8_t>(-128);
  }
  return control;
}

// Every control, by output chunk and then by plane.
inline constexpr std::array<std::array<std::array<int8_t, 16>, 3>, 3> kInterleaveControls = {{
    {InterleaveControl(0, 0), InterleaveControl(0, 1), InterleaveControl(0, 2)},
    {InterleaveControl(1, 0), InterleaveControl(1, 1), InterleaveControl(1, 2)},
    {InterleaveControl(2, 0), InterleaveControl(2, 1), InterleaveControl(2, 2)},
}};

}  // namespace vexo::bgr_detail
