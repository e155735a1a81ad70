// The small policy's reading of a coefficient list: as ReadDequantisedList,
// with a table of 32 two-byte entries in place of 256 four-byte ones. The
// first 5 bits of an entry tell its level code (no code is longer); a short
// level's run is cut from the bits after it. Every read is checked, and
// takes only the bits it consumes from beyond a window's read-ahead limit.
#pragma once

#include <array>
#include <cstdint>

#include "transform/dequantisation.h"
#include "transform/level_code.h"

namespace vexo {

namespace compact_list_detail {

// A level code as its first kMaxLevelCodeBits bits tell it: 1 bit is end of
// block, kMaxLevelCodeBits an escape (the level its sign), any other length
// a short level and its run.
struct LevelCodeHead {
  int8_t level;
  uint8_t length;

  constexpr bool EndOfBlock() const { return length == 1; }
  constexpr bool Escape() const { return length == kMaxLevelCodeBits; }
  // The bits the entry takes up to its escape's magnitude or its end.
  constexpr int HeadBits() const { return EndOfBlock() || Escape() ? length : length + kRunBits; }
};

constexpr LevelCodeHead MakeLevelCodeHead(unsigned bits) {
  int node = 0;
  for (int used = 1;; ++used) {
    const int entry = LevelCodeTree[node + ((bits >> (kMaxLevelCodeBits - used)) & 1)];
    if (entry >= 0) {
      node = entry;
      continue;
    }
    const auto symbol = static_cast<LevelSymbol>(LevelCodeSymbols[-entry]);
    int8_t level = static_cast<int8_t>(LevelCodeSymbols[-entry] - 2);
    if (symbol == LevelSymbol::kPositiveEscape) level = 1;
    if (symbol == LevelSymbol::kNegativeEscape) level = -1;
    return {level, static_cast<uint8_t>(used)};
  }
}

inline constexpr auto kLevelCodeHeads = [] {
  std::array<LevelCodeHead, 1u << kMaxLevelCodeBits> heads{};
  for (unsigned bits = 0; bits < heads.size(); ++bits) heads[bits] = MakeLevelCodeHead(bits);
  return heads;
}();

static_assert(kLevelCodeHeads[0b10000].EndOfBlock() && kLevelCodeHeads[0b01011].Escape() &&
              kLevelCodeHeads[0b01011].level == 1 && kLevelCodeHeads[0b01000].level == -2);

// The next n bits (n at most BitReader::kRefillBits), consumed. Past a
// window's limit exactly these are read.
template <class BitReader>
uint32_t TakeBits(BitReader& bits, int n) {
  if (bits.Count() < n) bits.Refill();
  bits.EnsureReal(n);
  const uint32_t value = bits.Peek(n);
  bits.Skip(n);
  return value;
}

inline constexpr int kLongestHeadBits = 4 + kRunBits;  // minus two and its run

// Makes the bits of the next entry's head held and the stream's own. Past a
// window's limit zeros stand in for the bits not read yet, so a head is
// looked up again once the bits it wants are read: it may then want more.
template <class BitReader>
void MakeHeadReal(BitReader& bits) {
  static_assert(kLongestHeadBits <= BitReader::kRefillBits);
  if (bits.Count() < kLongestHeadBits) bits.Refill();
  for (;;) {
    const int wanted = kLevelCodeHeads[bits.Peek(kMaxLevelCodeBits)].HeadBits();
    if (wanted <= bits.RealCount()) return;
    bits.EnsureReal(wanted);
  }
}

// The head of the next entry, not consumed, its bits the stream's own.
template <class BitReader>
LevelCodeHead PeekLevelCodeHead(BitReader& bits) {
  if (bits.RealCount() < kLongestHeadBits) MakeHeadReal(bits);
  return kLevelCodeHeads[bits.Peek(kMaxLevelCodeBits)];
}

}  // namespace compact_list_detail

// As ReadDequantisedList (the same coefficients, mask and bits consumed),
// every read checked; `bits` is a BasicBitReader of either width.
template <class BitReader>
CoefficientMask ReadCompactList(BitReader& bits, int escapeWidth, const DequantSteps& steps,
                                BlockCoefficients& coefficients) {
  using namespace compact_list_detail;
  // Past the scan for good: every later level is read and ignored.
  constexpr int kIgnoreRest = 2 * kCoefficientCount;
  CoefficientMask mask = 0;
  int position = 0;
  for (int count = 0; count < kCoefficientCount; ++count) {
    const LevelCodeHead head = PeekLevelCodeHead(bits);
    if (head.EndOfBlock()) {
      bits.Skip(1);
      break;
    }
    int32_t level = head.level;
    uint32_t run;
    if (head.Escape()) {
      bits.Skip(kMaxLevelCodeBits);
      const uint32_t tail = TakeBits(bits, escapeWidth + kRunBits);
      level *= static_cast<int32_t>(tail >> kRunBits);
      run = tail & ((1u << kRunBits) - 1);
      if (level == 0) position = kIgnoreRest;  // a level 0 ends dequantisation
    } else {
      run = bits.Peek(head.HeadBits()) & ((1u << kRunBits) - 1);
      bits.Skip(head.HeadBits());
    }
    position += static_cast<int>(run);
    if (position < kCoefficientCount) {
      // Cleared once the list yields a coefficient: a block without any is
      // its prediction and never reads them.
      if (mask == 0) ClearCoefficients(coefficients);
      const int index = ScanOrder[position];
      coefficients[index] = level * steps[position];
      mask |= CoefficientMask{1} << index;
      ++position;
    }
  }
  return mask;
}

}  // namespace vexo
