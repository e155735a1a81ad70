#include "transform_reference.h"

#include <algorithm>

#include "transform/quality_tables.h"

namespace vexo::testing {
namespace {

class BitSource {
 public:
  explicit BitSource(const std::vector<uint8_t>& file) : file_(file) {}

  uint32_t Read(int n) {
    uint32_t value = 0;
    for (int i = 0; i < n; ++i) value = value << 1 | Bit();
    return value;
  }
  bool PastEnd() const { return bit_ > (file_.size() > 16 ? (file_.size() - 16) * 8 : 0); }
  size_t BitsConsumed() const { return bit_; }

 private:
  uint32_t Bit() {
    const size_t byte = 16 + bit_ / 8;
    const uint32_t value = byte < file_.size() ? (file_[byte] >> (7 - bit_ % 8)) & 1 : 0;
    ++bit_;
    return value;
  }

  const std::vector<uint8_t>& file_;
  size_t bit_ = 0;
};

struct Entry {
  int level;
  int run;
};

// Code words straight from the code's table, longest match by bit walking.
std::vector<Entry> ReadList(BitSource& bits, int escapeWidth) {
  std::vector<Entry> entries;
  while (entries.size() < 16) {
    int level;
    if (bits.Read(1) == 1) break;  // 1: end of block
    if (bits.Read(1) == 0) {       // 00x
      level = bits.Read(1) ? 1 : -1;
    } else if (bits.Read(1) == 1) {  // 011
      level = 2;
    } else if (bits.Read(1) == 0) {  // 0100
      level = -2;
    } else {  // 0101s
      const bool positive = bits.Read(1) == 1;
      const int magnitude = escapeWidth > 0 ? static_cast<int>(bits.Read(escapeWidth)) : 0;
      level = positive ? magnitude : -magnitude;
    }
    entries.push_back({level, static_cast<int>(bits.Read(4))});
  }
  return entries;
}

using Block = std::array<std::array<int32_t, 4>, 4>;

Block Dequantise(const std::vector<Entry>& entries, int scaleRow, int quantShift) {
  Block d{};
  int p = 0;
  for (const Entry& entry : entries) {
    if (entry.level == 0) break;
    p += entry.run;
    if (p > 15) break;
    const int index = ScanOrder[p];
    d[index / 4][index % 4] = entry.level * LevelScaleTable[scaleRow][p] * (1 << quantShift);
    ++p;
  }
  return d;
}

int Avg2(int u, int v) {
  return (u + v + 1) >> 1;
}
int Avg3(int u, int v, int w) {
  return (u + 2 * v + w + 2) >> 2;
}

struct Picture {
  int paddedWidth;
  std::vector<int> planes[3];
};

void RebuildBlock(Picture& picture, int plane, int offset, int mode, bool firstRow,
                  const std::vector<Entry>& entries, int quality) {
  std::vector<int>& s = picture.planes[plane];
  const int w = picture.paddedWidth;
  int pred[4][4];
  if (firstRow) {
    const int dc = offset == 0 ? 128
                               : (s[offset - 1] + s[offset - 1 + w] + s[offset - 1 + 2 * w] +
                                  s[offset - 1 + 3 * w] + 2) >>
                                     2;
    for (auto& row : pred) std::fill(row, row + 4, dc);
  } else {
    std::array<int, 9> above;
    std::array<int, 4> left;
    for (int i = -1; i <= 7; ++i) above[i + 1] = s[offset - w + i];
    for (int k = 0; k < 4; ++k) left[k] = s[offset - 1 + k * w];
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) pred[y][x] = ReferencePredictSample(mode, above, left, x, y);
    }
  }
  Block r{};
  if (!entries.empty() && entries[0].level != 0) {
    r = ReferenceInverseTransform(Dequantise(entries, quality % 6, quality / 6));
  }
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      s[offset + y * w + x] = std::clamp((64 * pred[y][x] + r[y][x] + 32) >> 6, 0, 255);
    }
  }
}

}  // namespace

int ReferencePredictSample(int mode, const std::array<int, 9>& above,
                           const std::array<int, 4>& left, int x, int y) {
  auto T = [&](int i) { return above[i + 1]; };
  auto L = [&](int k) { return k < 0 ? T(-1) : left[k]; };
  switch (mode) {
    case 0:
      if (x > y) return Avg3(T(x - y - 2), T(x - y - 1), T(x - y));
      if (x < y) return Avg3(L(y - x - 2), L(y - x - 1), L(y - x));
      return Avg3(T(0), T(-1), L(0));
    case 1: {
      const int z = 2 * y - x, h = y - (x >> 1);
      if (z >= 0 && z % 2 == 0) return Avg2(L(h - 1), L(h));
      if (z >= 1) return Avg3(L(h - 2), L(h - 1), L(h));
      if (z == -1) return Avg3(L(0), T(-1), T(0));
      return Avg3(T(x - 1), T(x - 2), T(x - 3));
    }
    case 2:
      return (L(0) + L(1) + L(2) + L(3) + T(0) + T(1) + T(2) + T(3) + 4) >> 3;
    case 3:
      return L(y);
    case 4:
      return T(x);
    case 5: {
      const int i = x + (y >> 1);
      return y % 2 == 0 ? Avg2(T(i), T(i + 1)) : Avg3(T(i), T(i + 1), T(i + 2));
    }
    case 6:
      if (x == 3 && y == 3) return (T(6) + 3 * T(7) + 2) >> 2;
      return Avg3(T(x + y), T(x + y + 1), T(x + y + 2));
    default: {
      const int z = x + 2 * y, h = y + (x >> 1);
      if (z > 5) return L(3);
      if (z == 5) return (L(2) + 3 * L(3) + 2) >> 2;
      if (z % 2 == 0) return Avg2(L(h), L(h + 1));
      return Avg3(L(h), L(h + 1), L(h + 2));
    }
  }
}

std::array<std::array<int32_t, 4>, 4> ReferenceInverseTransform(
    std::array<std::array<int32_t, 4>, 4> d) {
  for (int j = 0; j < 4; ++j) {
    const int32_t e0 = d[0][j] + d[2][j], e1 = d[0][j] - d[2][j];
    const int32_t e2 = (d[1][j] >> 1) - d[3][j], e3 = d[1][j] + (d[3][j] >> 1);
    d[0][j] = e0 + e3;
    d[1][j] = e1 + e2;
    d[2][j] = e1 - e2;
    d[3][j] = e0 - e3;
  }
  for (auto& row : d) {
    const int32_t f0 = row[0] + row[2], f1 = row[0] - row[2];
    const int32_t f2 = (row[1] >> 1) - row[3], f3 = row[1] + (row[3] >> 1);
    row = {f0 + f3, f1 + f2, f1 - f2, f0 - f3};
  }
  return d;
}

ReferenceDecode ReferenceDecodeTransform(const std::vector<uint8_t>& file) {
  const int width = static_cast<int16_t>(file[4] | file[5] << 8);
  const int height = static_cast<int16_t>(file[6] | file[7] << 8);
  const int quality = file[10];
  if (quality > 51) return {VexoStatus::kMalformed, -1, {}};
  if (width < 1 || height < 1) return {VexoStatus::kOk, 16, {}};
  Picture picture{(width + 3) / 4 * 4, {}};
  const int paddedHeight = (height + 3) / 4 * 4;
  for (auto& plane : picture.planes) plane.assign(picture.paddedWidth * paddedHeight, 0);
  BitSource bits(file);
  const int escapeWidth = EscapeWidthTable[quality];
  for (int by = 0; by < paddedHeight / 4; ++by) {
    for (int bx = 0; bx < picture.paddedWidth / 4; ++bx) {
      const int mode = by > 0 ? static_cast<int>(bits.Read(3)) : -1;
      for (int plane = 0; plane < 3; ++plane) {
        const std::vector<Entry> entries = ReadList(bits, escapeWidth);
        RebuildBlock(picture, plane, 4 * (by * picture.paddedWidth + bx), mode, by == 0, entries,
                     quality);
      }
      if (bits.PastEnd()) return {VexoStatus::kTruncated, -1, {}};
    }
  }
  ReferenceDecode decoded{
      VexoStatus::kOk, static_cast<int32_t>(16 + (bits.BitsConsumed() + 7) / 8), {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int i = y * picture.paddedWidth + x;
      decoded.pixels.push_back(static_cast<uint16_t>((picture.planes[0][i] >> 3) << 11 |
                                                     (picture.planes[1][i] >> 2) << 5 |
                                                     picture.planes[2][i] >> 3));
    }
  }
  return decoded;
}

}  // namespace vexo::testing
