// The Bjontegaard rate difference of two rate-fidelity curves.
#pragma once

#include <vector>

namespace vexo::bench {

struct RdPoint {
  int quality = 0;
  double bitsPerPixel = 0;
  double psnr = 0;
};

// The mean relative rate of `test` against `reference` at equal PSNR: log
// rate as a function of PSNR, each curve interpolated piecewise-cubically
// (monotone Hermite) through its points, the difference averaged over the
// PSNR range both curves reach and turned back into a ratio minus one
// (-0.35: 35% fewer bits). Points without a finite PSNR are left out; NAN
// when the ranges do not overlap.
double BjontegaardRate(const std::vector<RdPoint>& test, const std::vector<RdPoint>& reference);

}  // namespace vexo::bench
