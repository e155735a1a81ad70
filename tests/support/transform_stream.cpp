#include "transform_stream.h"

#include <cstdlib>
#include <random>
#include <stdexcept>

#include "transform/level_code.h"
#include "transform/quality_tables.h"

namespace vexo::testing {
namespace {

LevelCodeWord ShortCode(int level) {
  const auto symbol = static_cast<size_t>(level + 2);
  return LevelCodeWords[symbol];
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

void TransformStreamWriter::EndOfBlock() {
  const LevelCodeWord end = LevelCodeWords[static_cast<size_t>(LevelSymbol::kEndOfBlock)];
  bits_.Put(end.bits, end.length);
}

void TransformStreamWriter::List(std::span<const ListEntry> entries) {
  for (const ListEntry& entry : entries) Entry(entry);
  if (entries.size() < 16) EndOfBlock();
}

void TransformStreamWriter::Entry(const ListEntry& entry) {
  const int magnitude = std::abs(entry.level);
  if (!entry.escape && magnitude >= 1 && magnitude <= 2) {
    const LevelCodeWord code = ShortCode(entry.level);
    bits_.Put(code.bits, code.length);
  } else {
    if (magnitude >= (1 << escapeWidth_)) throw std::invalid_argument("level too large to escape");
    const auto symbol =
        entry.level < 0 ? LevelSymbol::kNegativeEscape : LevelSymbol::kPositiveEscape;
    const LevelCodeWord code = LevelCodeWords[static_cast<size_t>(symbol)];
    bits_.Put(code.bits, code.length);
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

namespace {

class RandomListMaker {
 public:
  RandomListMaker(uint32_t seed, int escapeWidth, const RandomTransformMix& mix)
      : random_(seed), escapeWidth_(escapeWidth), mix_(mix) {}

  int Mode() { return Uniform(0, 7); }

  std::vector<ListEntry> List() {
    const int kind = Uniform(0, 99);
    if (kind < mix_.endOfBlockOnlyPercent) return {};
    if (kind < mix_.endOfBlockOnlyPercent + mix_.lowestOnlyPercent) return {{SmallLevel(), 0}};
    std::vector<ListEntry> list(static_cast<size_t>(Uniform(1, mix_.maxEntries)));
    for (ListEntry& entry : list) entry = Entry();
    return list;
  }

 private:
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  int SmallLevel() {
    const int magnitude = Uniform(0, 3) == 0 ? 2 : 1;
    return Uniform(0, 1) ? magnitude : -magnitude;
  }

  ListEntry Entry() {
    const int run = Uniform(0, mix_.maxRun);
    if (Uniform(0, 99) >= mix_.escapePercent) return {SmallLevel(), run};
    const int magnitude = Uniform(0, (1 << escapeWidth_) - 1);
    return {Uniform(0, 1) ? magnitude : -magnitude, run, true};
  }

  std::mt19937 random_;
  int escapeWidth_;
  RandomTransformMix mix_;
};

}  // namespace

std::vector<uint8_t> MakeRandomTransformFile(uint16_t width, uint16_t height, uint8_t quality,
                                             uint32_t seed, const RandomTransformMix& mix) {
  TransformStreamWriter writer(quality);
  RandomListMaker maker(seed, EscapeWidthOf(quality), mix);
  const int blockColumns = (width + 3) / 4;
  const int blockRows = (height + 3) / 4;
  for (int row = 0; row < blockRows; ++row) {
    for (int column = 0; column < blockColumns; ++column) {
      if (row > 0) writer.Mode(maker.Mode());
      for (int plane = 0; plane < 3; ++plane) writer.List(maker.List());
    }
  }
  return writer.File(width, height);
}

}  // namespace vexo::testing
