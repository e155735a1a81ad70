#include "bd_rate.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexo::bench {
namespace {

// Log rate against PSNR through the points, with Fritsch-Carlson slopes so
// that the interpolation never overshoots between two points.
class MonotoneCubic {
 public:
  explicit MonotoneCubic(const std::vector<RdPoint>& points) {
    std::vector<std::pair<double, double>> sorted;
    for (const RdPoint& point : points) {
      if (std::isfinite(point.psnr) && point.bitsPerPixel > 0) {
        sorted.emplace_back(point.psnr, std::log(point.bitsPerPixel));
      }
    }
    std::sort(sorted.begin(), sorted.end());
    for (const auto& [x, y] : sorted) {
      if (!x_.empty() && x - x_.back() < 1e-9) continue;  // the same PSNR twice
      x_.push_back(x);
      y_.push_back(y);
    }
    const size_t n = x_.size();
    slope_.assign(n, 0);
    if (n < 2) return;
    std::vector<double> secant(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) secant[i] = (y_[i + 1] - y_[i]) / (x_[i + 1] - x_[i]);
    slope_[0] = secant[0];
    slope_[n - 1] = secant[n - 2];
    for (size_t i = 1; i + 1 < n; ++i) {
      if (secant[i - 1] * secant[i] <= 0) continue;
      const double h0 = x_[i] - x_[i - 1];
      const double h1 = x_[i + 1] - x_[i];
      const double w0 = 2 * h1 + h0;
      const double w1 = h1 + 2 * h0;
      slope_[i] = (w0 + w1) / (w0 / secant[i - 1] + w1 / secant[i]);
    }
  }

  bool Usable() const { return x_.size() >= 2; }
  double Lowest() const { return x_.front(); }
  double Highest() const { return x_.back(); }

  double operator()(double x) const {
    const size_t i = static_cast<size_t>(
        std::clamp<std::ptrdiff_t>(std::upper_bound(x_.begin(), x_.end(), x) - x_.begin() - 1, 0,
                                   static_cast<std::ptrdiff_t>(x_.size()) - 2));
    const double h = x_[i + 1] - x_[i];
    const double t = (x - x_[i]) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * y_[i] + (t3 - 2 * t2 + t) * h * slope_[i] +
           (-2 * t3 + 3 * t2) * y_[i + 1] + (t3 - t2) * h * slope_[i + 1];
  }

 private:
  std::vector<double> x_, y_, slope_;
};

}  // namespace

double BjontegaardRate(const std::vector<RdPoint>& test, const std::vector<RdPoint>& reference) {
  const MonotoneCubic a(test);
  const MonotoneCubic b(reference);
  if (!a.Usable() || !b.Usable()) return NAN;
  const double low = std::max(a.Lowest(), b.Lowest());
  const double high = std::min(a.Highest(), b.Highest());
  if (!(high > low)) return NAN;
  constexpr int kSteps = 1000;  // Simpson's rule on an even number of steps
  const double step = (high - low) / kSteps;
  double sum = 0;
  for (int k = 0; k <= kSteps; ++k) {
    const double x = low + k * step;
    const double weight = k == 0 || k == kSteps ? 1 : (k % 2 == 1 ? 4 : 2);
    sum += weight * (a(x) - b(x));
  }
  return std::exp(sum * step / 3 / (high - low)) - 1;
}

}  // namespace vexo::bench
