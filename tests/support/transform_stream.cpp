#include "transform_stream.h"

#include <cstdlib>
#include <random>
#include <stdexcept>

#include "transform/level_code.h"
#include "transform/quality_tables.h"

namespace vexo::testing {
namespace {

void PutCode(BitWriter& bits, LevelSymbol symbol) {
  const LevelCodeWord code = LevelCodeWords[static_cast<size_t>(symbol)];
  bits.Put(code.bits, code.length);
}

int EscapeWidthOf(uint8_t quality) {
  const auto parameters = TransformQualityFor(quality);
  return parameters ? parameters->escapeWidth : 0;
}

}  // namespace

TransformStreamWriter::TransformStreamWriter(uint8_t quality)
    : quality_(quality), escapeWidth_(EscapeWidthOf(quality)) {}

void TransformStreamWriter::Mode(int mode) {
  bits_.Put(static_cast<uint32_t>(mode), 3);
}

void TransformStreamWriter::List(std::span<const ListEntry> entries) {
  for (const ListEntry& entry : entries) Entry(entry);
  if (entries.size() < 16) PutCode(bits_, LevelSymbol::kEndOfBlock);
}

void TransformStreamWriter::Entry(const ListEntry& entry) {
  const int magnitude = std::abs(entry.level);
  if (!entry.escape && magnitude >= 1 && magnitude <= 2) {
    // The short codes' symbols run from -2 up to 2.
    PutCode(bits_, static_cast<LevelSymbol>(entry.level + 2));
  } else {
    if (magnitude >= (1 << escapeWidth_)) throw std::invalid_argument("level too large to escape");
    PutCode(bits_, entry.level < 0 ? LevelSymbol::kNegativeEscape : LevelSymbol::kPositiveEscape);
    if (escapeWidth_ > 0) bits_.Put(static_cast<uint32_t>(magnitude), escapeWidth_);
  }
  bits_.Put(static_cast<uint32_t>(entry.run), 4);
}

std::vector<uint8_t> TransformStreamWriter::File(uint16_t width, uint16_t height) const {
  return MakeTransformFile(width, height, quality_, bits_.Bytes());
}

std::vector<uint8_t> MakeTransformFile(uint16_t width, uint16_t height, uint8_t quality,
                                       const std::vector<uint8_t>& coded) {
  std::vector<uint8_t> file =
      MakeHeader({.width = width, .height = height, .pathFlag = 1, .quality = quality});
  AppendLe32(file, 0);  // not read by the transform path
  file.insert(file.end(), coded.begin(), coded.end());
  return file;
}

std::vector<uint8_t> MakeRandomTransformFile(uint16_t width, uint16_t height, uint8_t quality,
                                             uint32_t seed, const RandomTransformMix& mix) {
  std::mt19937 random(seed);
  const auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const auto sign = [&](int magnitude) { return uniform(0, 1) ? magnitude : -magnitude; };
  const auto smallLevel = [&] { return sign(uniform(0, 3) == 0 ? 2 : 1); };
  const int escapeWidth = EscapeWidthOf(quality);
  const auto randomList = [&] {
    const int kind = uniform(0, 99);
    if (kind < mix.endOfBlockOnlyPercent) return std::vector<ListEntry>{};
    if (kind < mix.endOfBlockOnlyPercent + mix.lowestOnlyPercent) {
      return std::vector<ListEntry>{{smallLevel(), 0}};
    }
    std::vector<ListEntry> list(static_cast<size_t>(uniform(1, mix.maxEntries)));
    for (ListEntry& entry : list) {
      const int run = uniform(0, mix.maxRun);
      entry = uniform(0, 99) >= mix.escapePercent
                  ? ListEntry{smallLevel(), run}
                  : ListEntry{sign(uniform(0, (1 << escapeWidth) - 1)), run, true};
    }
    return list;
  };
  TransformStreamWriter writer(quality);
  for (int row = 0; row < (height + 3) / 4; ++row) {
    for (int column = 0; column < (width + 3) / 4; ++column) {
      if (row > 0) writer.Mode(uniform(0, 7));
      for (int plane = 0; plane < 3; ++plane) writer.List(randomList());
    }
  }
  return writer.File(width, height);
}

}  // namespace vexo::testing
