#include "fast_file_builder.h"

#include <random>

namespace vexo::testing {
namespace {

constexpr uint8_t kFiller = 0xA5;
constexpr int kModeFill = 10;

// Block modes by weight: raw, the nine symbol widths, fill.
constexpr std::array<int, 11> kModeWeights = {3, 8, 18, 22, 18, 10, 6, 3, 2, 2, 12};
// One symbol in this many calls for a raw pixel.
constexpr uint32_t kRawEscapeOdds = 50;

class RandomPicture {
 public:
  explicit RandomPicture(uint32_t seed) : random_(seed) {}

  void AddBlock(FastFileBuilder& builder, bool undefinedModes) {
    const bool vertical = Below(2) == 1;
    if (undefinedModes && Below(30) == 0) {
      builder.Code(vertical, 11 + static_cast<int>(Below(5)));
      return;
    }
    std::discrete_distribution<int> modes(kModeWeights.begin(), kModeWeights.end());
    const int mode = modes(random_);
    builder.Code(vertical, mode);
    if (mode == 0) builder.Raw(RawPixels(16));
    if (mode == 0 || mode == kModeFill) return;
    std::array<uint32_t, 16> symbols{};
    size_t escapes = 0;
    for (uint32_t& symbol : symbols) {
      symbol = Below(kRawEscapeOdds) == 0 ? 0 : 1 + Below((1u << mode) - 1);
      escapes += symbol == 0;
    }
    builder.Symbols(mode, symbols).Raw(RawPixels(escapes));
  }

 private:
  uint32_t Below(uint32_t bound) {
    return std::uniform_int_distribution<uint32_t>(0, bound - 1)(random_);
  }

  std::vector<uint16_t> RawPixels(size_t count) {
    std::vector<uint16_t> pixels(count);
    for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(Below(1u << 16));
    return pixels;
  }

  std::mt19937 random_;
};

}  // namespace

HeaderFields FastHeader(uint16_t width, uint16_t height, uint8_t quality, uint8_t pathFlag) {
  return {.width = width,
          .height = height,
          .pathFlag = pathFlag,
          .quality = quality,
          .codecVersion = 201};
}

FastFileBuilder& FastFileBuilder::Code(bool vertical, int mode) {
  codes_.PutBit(vertical);
  codes_.Put(static_cast<uint32_t>(mode), 4);
  return *this;
}

FastFileBuilder& FastFileBuilder::Symbols(int bits, const std::array<uint32_t, 16>& symbols) {
  BitWriter packed;
  for (uint32_t symbol : symbols) packed.Put(symbol, bits);
  return SymbolBytes(packed.Bytes());
}

FastFileBuilder& FastFileBuilder::SymbolBytes(const std::vector<uint8_t>& bytes) {
  symbols_.insert(symbols_.end(), bytes.begin(), bytes.end());
  return *this;
}

FastFileBuilder& FastFileBuilder::Raw(const std::vector<uint16_t>& pixels) {
  raw_.insert(raw_.end(), pixels.begin(), pixels.end());
  return *this;
}

std::vector<uint8_t> FastFileBuilder::Build(const HeaderFields& fields,
                                            const FastLayout& layout) const {
  std::vector<uint8_t> rawBytes;
  for (uint16_t pixel : raw_) AppendLe16(rawBytes, pixel);
  const std::vector<uint8_t>& first = layout.rawFirst ? rawBytes : symbols_;
  const std::vector<uint8_t>& second = layout.rawFirst ? symbols_ : rawBytes;

  const auto firstOffset = static_cast<int32_t>(20 + codes_.Bytes().size() + layout.gapAfterCodes);
  const auto secondOffset = static_cast<int32_t>(firstOffset + first.size() + layout.gapBetween);
  const int32_t symbolOffset = layout.rawFirst ? secondOffset : firstOffset;
  const int32_t rawOffset = layout.rawFirst ? firstOffset : secondOffset;

  std::vector<uint8_t> file = MakeHeader(fields);
  AppendLe32(file, symbolOffset);
  AppendLe32(file, rawOffset - symbolOffset);
  file.insert(file.end(), codes_.Bytes().begin(), codes_.Bytes().end());
  file.insert(file.end(), layout.gapAfterCodes, kFiller);
  file.insert(file.end(), first.begin(), first.end());
  file.insert(file.end(), layout.gapBetween, kFiller);
  file.insert(file.end(), second.begin(), second.end());
  return file;
}

std::vector<uint8_t> MakeFastPicture(const FastPictureRecipe& recipe) {
  FastFileBuilder builder;
  RandomPicture random(recipe.seed);
  const int blocks = (recipe.width / 4) * (recipe.height / 4);
  for (int block = 0; block < blocks; ++block) random.AddBlock(builder, recipe.undefinedModes);
  return builder.Build(FastHeader(recipe.width, recipe.height, recipe.quality), recipe.layout);
}

}  // namespace vexo::testing
