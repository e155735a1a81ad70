// The file decoder's row kernel (bgr_row_kernels.h) in the kernel table: an
// entry for each form but the plain one, run where the processor runs it.
// Pixels from an odd start, so that no form may rely on alignment.
#include <cstring>
#include <vector>

#include "bgr_row_kernels.h"
#include "kernel_table.h"

namespace vexo::kernel_check {
namespace {

constexpr size_t kMaxPixels = 300;
constexpr size_t kOutputBytes = 3 * kMaxPixels;
// Counts round the vector steps first, then any.
constexpr uint16_t kCounts[] = {0, 1, 7, 15, 16, 17, 31, 32, 33, 48, 63, 64, 65, 100, 255};

void Generate(Random& random, int trial, TrialData& data) {
  constexpr int kListed = sizeof kCounts / sizeof kCounts[0];
  const auto count =
      static_cast<uint16_t>(trial < kListed ? kCounts[trial] : random.Below(kMaxPixels + 1));
  std::memcpy(data.input, &count, sizeof count);
  for (size_t i = 0; i < 2 * kMaxPixels; ++i)
    data.input[2 + i] = static_cast<uint8_t>(random.Next());
  for (size_t i = 0; i < kOutputBytes; ++i) data.output[i] = static_cast<uint8_t>(random.Next());
}

void RunForm(BgrRowKernel kernel, const uint8_t* input, uint8_t* output) {
  uint16_t count;
  std::memcpy(&count, input, sizeof count);
  alignas(32) uint16_t pixels[1 + kMaxPixels];
  std::memcpy(pixels + 1, input + 2, 2 * kMaxPixels);
  kernel(pixels + 1, count, output);
}

void RunPlain(const uint8_t* input, uint8_t* output) {
  RunForm(Rgb565RowToBgrPlain, input, output);
}

template <size_t kIndex>
void RunVariant(const uint8_t* input, uint8_t* output) {
  RunForm(BgrRowVariants()[kIndex].kernel, input, output);
}

template <size_t kIndex>
bool RunsVariant() {
  return BgrRowVariants()[kIndex].runsHere();
}

template <size_t kIndex>
void AddEntry(std::vector<KernelEntry>& entries) {
  if (kIndex >= BgrRowVariants().size()) return;
  const BgrRowVariant& variant = BgrRowVariants()[kIndex];
  if (variant.kernel == Rgb565RowToBgrPlain) return;
  entries.push_back({"565 to BGR row", variant.name, RunPlain, RunVariant<kIndex>, Generate,
                     kOutputBytes, 300, RunsVariant<kIndex>});
}

}  // namespace

std::vector<KernelEntry> BgrRowEntries() {
  std::vector<KernelEntry> entries;
  AddEntry<0>(entries);
  AddEntry<1>(entries);
  AddEntry<2>(entries);
  AddEntry<3>(entries);
  return entries;
}

}  // namespace vexo::kernel_check
