// Test-side writer of transform-path coded data and whole transform files,
// and a generator of random but well-formed pictures for tests and
// benchmarks.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "bit_writer.h"

namespace vexo::testing {

// One entry of a coefficient list. Levels -2 to 2 (except 0) use their short
// codes unless `escape` is set; other levels are always escaped, and their
// magnitude must fit the quality's escape width.
struct ListEntry {
  int level;
  int run = 0;
  bool escape = false;
};

class TransformStreamWriter {
 public:
  explicit TransformStreamWriter(uint8_t quality);

  void Mode(int mode);
  // The entries, then end of block unless there are sixteen of them.
  void List(std::span<const ListEntry> entries);
  // A whole family-101 file with pathFlag 1 around the coded data so far.
  std::vector<uint8_t> File(uint16_t width, uint16_t height) const;

 private:
  void Entry(const ListEntry& entry);

  uint8_t quality_;
  int escapeWidth_;
  BitWriter bits_;
};

// A family-101 transform file (pathFlag 1) with `coded` from offset 16.
std::vector<uint8_t> MakeTransformFile(uint16_t width, uint16_t height, uint8_t quality,
                                       const std::vector<uint8_t>& coded);

// How random pictures are drawn.
struct RandomTransformMix {
  int endOfBlockOnlyPercent;  // lists that are only end of block
  int lowestOnlyPercent;      // lists of one level at scan position 0
  int maxEntries;             // other lists: 1 to maxEntries entries
  int escapePercent;          // share of escaped levels among those entries
  int maxRun;                 // runs drawn from 0 to maxRun
};

// Resembles an encoder's output: many empty lists, short lists of small
// levels, few escapes.
inline constexpr RandomTransformMix kTypicalMix{35, 25, 6, 8, 2};
// Anything the syntax allows: sixteen-entry lists, runs past the scan,
// escapes of every magnitude including 0.
inline constexpr RandomTransformMix kWildMix{15, 10, 16, 30, 15};

std::vector<uint8_t> MakeRandomTransformFile(uint16_t width, uint16_t height, uint8_t quality,
                                             uint32_t seed, const RandomTransformMix& mix);

}  // namespace vexo::testing
