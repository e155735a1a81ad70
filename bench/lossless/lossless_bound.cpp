// How far the lossless encoders are from the smallest file the format
// allows, and how fast they are at each effort.
//
//   lossless_bound [--speed PICTURE] [--repeat N] [--effort E] [IMAGES_DIR]
//
// For every picture of IMAGES_DIR (without it and --speed, bench/images): the bits per pixel of the
// predictive path (family 101 and 201, quality 0) and the fast path (quality 0) at effort E
// (default 5), and beside them the bound: the size of the smallest portable
// file, found by an exhaustive search per block over every choice the syntax
// gives, by exact bit cost. Run on one core (taskset -c 1), one run at a
// time: with --speed it also times every effort on PICTURE, best of N.
//
// What the bound covers. Both paths code 5-6-5 pixels losslessly, so every
// block decodes to the same pixels whatever its code; a block's choice
// changes later predictions only through those pixels, and which pixels are
// decoded when is fixed by the block order. Neither bit stream has state
// across blocks beyond its running bit position (the predictive stream is
// one continuous string of codes, raw pixels 2 bytes each; the fast block
// codes are 5 bits each, a block's symbols a whole number of bytes, raw
// pixels 2 bytes each). So the file size is a fixed header plus the sum of
// the blocks' costs, and choosing each block's cheapest code is the optimum.
// Per block the search takes, for the predictive path, each of the four
// modes and within modes 0 to 2 every code of every pixel (copy, each of the
// 508 table entries, raw escape); for the fast path each direction, raw,
// fill and each symbol width 1 to 9 with every symbol of each pixel.
// It leaves out what no portable lossless file can use: predictions from
// pixels the decoder has not written (the format leaves them undefined),
// the fast path's undefined modes (each writes nothing, so some pixel would
// stay unwritten), and another quality byte than the one asked for. It also
// leaves out overlapping the streams, which the offsets would allow: at most
// a few bytes of a file.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fast/fast_delta_table.h"
#include "fast/fast_format.h"
#include "picture_reader.h"
#include "predictive/delta_tables.h"
#include "predictive/predictive_format.h"
#include "vexo_decoder.h"
#include "vexo_encoder.h"

namespace vexo {
namespace {

constexpr int kRawCost = kRawEscapeBits + kRawPixelBits;

// The pixels the decoder has written so far, in the order it writes them.
class Written {
 public:
  Written(int32_t width, int32_t height)
      : width_(width), flags_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}
  bool Has(int64_t index) const { return index >= 0 && flags_[static_cast<size_t>(index)]; }
  void Set(int64_t index, bool value) { flags_[static_cast<size_t>(index)] = value; }
  int32_t Width() const { return width_; }

 private:
  int32_t width_;
  std::vector<uint8_t> flags_;
};

int TableCodeBits(int entry) {
  int deltaClass = 0;
  while (entry > DeltaClassFirstIndex(deltaClass) + (1 << DeltaClassValueBits(deltaClass)) - 1) {
    ++deltaClass;
  }
  return kDeltaClassCodeBits + DeltaClassValueBits(deltaClass);
}

// Smallest predictive file, in bits after the 16 header bytes (bit stream
// plus raw-pixel stream), for quality 0 or 1 (the fine table).
uint64_t PredictiveBoundBits(const std::vector<uint16_t>& pixels, int32_t width, int32_t height) {
  std::array<int, kDeltaTableSize> codeBits{};
  for (int e = 0; e < kDeltaTableSize; ++e) codeBits[e] = TableCodeBits(e);
  Written written(width, height);
  uint64_t total = 0;
  for (int32_t y = 0; y < height; y += kPredictiveBlockSize) {
    for (int32_t x = 0; x < width; x += kPredictiveBlockSize) {
      const int bw = std::min(kPredictiveBlockSize, width - x);
      const int bh = std::min(kPredictiveBlockSize, height - y);
      const auto index = [&](int r, int c) { return int64_t{y + r} * width + x + c; };
      const auto forget = [&] {
        for (int r = 0; r < bh; ++r)
          for (int c = 0; c < bw; ++c) written.Set(index(r, c), false);
      };
      int best = 1 << 30;
      for (int mode = 0; mode < kPredictiveFillLeft; ++mode) {
        const int64_t offset = PredictionOffset(mode, width);
        int bits = kPredictiveModeBits;
        for (int r = 0; r < bh; ++r) {
          for (int c = 0; c < bw; ++c) {
            const int64_t p = index(r, c);
            int cost = kRawCost;
            if (written.Has(p + offset)) {
              const uint16_t predicted = pixels[static_cast<size_t>(p + offset)];
              if (predicted == pixels[static_cast<size_t>(p)]) cost = std::min(cost, kCopyCodeBits);
              for (int e = 0; e < kDeltaTableSize; ++e) {
                if (static_cast<uint16_t>(predicted + DeltaTableFine[e]) ==
                    pixels[static_cast<size_t>(p)]) {
                  cost = std::min(cost, codeBits[e]);
                }
              }
            }
            bits += cost;
            written.Set(p, true);
          }
        }
        forget();
        best = std::min(best, bits);
      }
      bool fills = true;
      for (int r = 0; r < bh && fills; ++r) {
        const int64_t left = index(r, 0) - 1;
        fills = written.Has(left);
        for (int c = 0; c < bw && fills; ++c) {
          fills = pixels[static_cast<size_t>(index(r, c))] == pixels[static_cast<size_t>(left)];
          written.Set(index(r, c), true);
        }
      }
      forget();
      if (fills) best = std::min(best, kPredictiveModeBits);
      total += static_cast<uint64_t>(best);
      for (int r = 0; r < bh; ++r)
        for (int c = 0; c < bw; ++c) written.Set(index(r, c), true);
    }
  }
  return total;
}

// Smallest fast-path file, in bits after the 20 header bytes (block codes,
// symbol bytes and raw pixels); both sides multiples of 4.
uint64_t FastBoundBits(const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
                       const FastSymbolDeltas& deltas) {
  Written written(width, height);
  uint64_t total = 0;
  for (int32_t by = 0; by < height / kFastBlockSize; ++by) {
    for (int32_t bx = 0; bx < width / kFastBlockSize; ++bx) {
      const int64_t topLeft = (int64_t{by} * width + bx) * kFastBlockSize;
      int best = kFastBlockCodeBits + kFastBlockPixels * kFastRawPixelBits;
      for (const bool vertical : {false, true}) {
        // Per pixel, the narrowest width any symbol that rebuilds it has
        // (kFastMaxSymbolBits + 1: none, a raw pixel).
        std::array<int, kFastBlockPixels> needs{};
        bool fills = true;
        for (int chain = 0; chain < kFastBlockSize; ++chain) {
          const int64_t start = vertical ? topLeft - width + chain : topLeft + chain * width - 1;
          bool known = written.Has(start);
          uint16_t predecessor = known ? pixels[static_cast<size_t>(start)] : 0;
          fills = fills && known;
          for (int step = 0; step < kFastBlockSize; ++step) {
            const int64_t p = vertical ? topLeft + int64_t{step} * width + chain
                                       : topLeft + int64_t{chain} * width + step;
            const uint16_t wanted = pixels[static_cast<size_t>(p)];
            int need = kFastMaxSymbolBits + 1;
            for (int symbol = 1; known && symbol < kFastSymbolCount; ++symbol) {
              if (static_cast<uint16_t>(predecessor + deltas[symbol]) == wanted) {
                int symbolBits = 0;
                while ((symbol >> symbolBits) != 0) ++symbolBits;
                need = std::min(need, symbolBits);
              }
            }
            if (fills && known) fills = wanted == pixels[static_cast<size_t>(start)];
            needs[chain * kFastBlockSize + step] = need;
            written.Set(p, true);
            predecessor = wanted;
            known = true;
          }
        }
        for (int step = 0; step < kFastBlockPixels; ++step) {
          written.Set(topLeft + int64_t{step / 4} * width + step % 4, false);
        }
        if (fills) best = std::min(best, kFastBlockCodeBits);
        for (int n = 1; n <= kFastMaxSymbolBits; ++n) {
          int bits = kFastBlockCodeBits + kFastBlockPixels * n;
          for (const int need : needs) bits += need > n ? kFastRawPixelBits : 0;
          best = std::min(best, bits);
        }
      }
      total += static_cast<uint64_t>(best);
      for (int step = 0; step < kFastBlockPixels; ++step) {
        written.Set(topLeft + int64_t{step / 4} * width + step % 4, true);
      }
    }
  }
  return total;
}

// What the encoder gives, checked to decode to exactly the quantised picture.
size_t EncodedBytes(const RgbPicture& picture, const EncodeOptions& options) {
  const std::vector<uint8_t> file = EncodeVexo(picture, options).value();
  std::vector<uint16_t> decoded(static_cast<size_t>(picture.width) * picture.height);
  const VexoDecodeResult result = VexoDecode(options.family, file, decoded);
  if (result.status != VexoStatus::kOk || decoded != QuantiseToRgb565(picture)) {
    std::fprintf(stderr, "a lossless file does not decode to its picture\n");
    std::exit(1);
  }
  return file.size();
}

double Bpp(double bytes, const RgbPicture& picture) {
  return 8.0 * bytes / (double{1} * picture.width * picture.height);
}

double SecondsToEncode(const RgbPicture& picture, const EncodeOptions& options, int repeat) {
  double best = 1e30;
  for (int i = 0; i < repeat; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<uint8_t> file = EncodeVexo(picture, options).value();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    if (file.empty()) std::exit(1);
  }
  return best;
}

int Run(int argc, char** argv) {
  std::string folder;
  std::string speedPicture;
  int repeat = 5;
  int effort = kDefaultEffort;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--speed" && i + 1 < argc) {
      speedPicture = argv[++i];
    } else if (argument == "--repeat" && i + 1 < argc) {
      repeat = std::atoi(argv[++i]);
    } else if (argument == "--effort" && i + 1 < argc) {
      effort = std::atoi(argv[++i]);
    } else {
      folder = argument;
    }
  }
  // With nothing to do, the bench pictures.
  if (folder.empty() && speedPicture.empty()) folder = VEXO_BENCH_PICTURES;
  if (!folder.empty()) {
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().extension() == ".png") names.push_back(entry.path());
    }
    std::sort(names.begin(), names.end());
    std::printf("bits per pixel, effort %d; bound: smallest portable file\n", effort);
    std::printf("%-30s %8s %8s %8s | %8s %8s\n", "picture", "pred101", "pred201", "fast", "predBnd",
                "fastBnd");
    double logs[5] = {};
    int count = 0;
    for (const auto& name : names) {
      const RgbPicture picture = ReadPicture(name.string()).value();
      const std::vector<uint16_t> pixels = QuantiseToRgb565(picture);
      const bool fastFits = picture.width % 4 == 0 && picture.height % 4 == 0;
      if (!fastFits) continue;
      double row[5] = {
          Bpp(EncodedBytes(picture,
                           {VexoPath::kPredictive, VexoFamily::k101, 0, Dither::kNone, effort}),
              picture),
          Bpp(EncodedBytes(picture,
                           {VexoPath::kPredictive, VexoFamily::k201, 0, Dither::kNone, effort}),
              picture),
          Bpp(EncodedBytes(picture, {VexoPath::kFast, VexoFamily::k201, 0, Dither::kNone, effort}),
              picture),
          Bpp(double(kPredictiveStreamStart) +
                  std::ceil(PredictiveBoundBits(pixels, picture.width, picture.height) / 8.0),
              picture),
          Bpp(double(kFastBlockCodeStart) +
                  std::ceil(
                      FastBoundBits(pixels, picture.width, picture.height, FastSymbolDeltasScale1) /
                      8.0),
              picture)};
      std::printf("%-30s %8.4f %8.4f %8.4f | %8.4f %8.4f\n", name.filename().string().c_str(),
                  row[0], row[1], row[2], row[3], row[4]);
      for (int k = 0; k < 5; ++k) logs[k] += std::log(row[k]);
      ++count;
    }
    std::printf("%-30s", "geometric mean");
    for (int k = 0; k < 5; ++k) {
      std::printf(k == 3 ? " | %8.4f" : " %8.4f", std::exp(logs[k] / count));
    }
    std::printf("\n");
  }
  if (!speedPicture.empty()) {
    const RgbPicture picture = ReadPicture(speedPicture).value();
    const double megapixels = double{1} * picture.width * picture.height / 1e6;
    std::printf("megapixels per second, best of %d, %s\n", repeat, speedPicture.c_str());
    std::printf("%-6s %10s %10s %10s %10s\n", "effort", "pred", "fast", "predBpp", "fastBpp");
    for (int e = kLowestEffort; e <= kHighestEffort; ++e) {
      const EncodeOptions predictive{VexoPath::kPredictive, VexoFamily::k101, 0, Dither::kNone, e};
      const EncodeOptions fast{VexoPath::kFast, VexoFamily::k201, 0, Dither::kNone, e};
      std::printf("%-6d %10.2f %10.2f %10.4f %10.4f\n", e,
                  megapixels / SecondsToEncode(picture, predictive, repeat),
                  megapixels / SecondsToEncode(picture, fast, repeat),
                  Bpp(EncodedBytes(picture, predictive), picture),
                  Bpp(EncodedBytes(picture, fast), picture));
    }
  }
  return 0;
}

}  // namespace
}  // namespace vexo

int main(int argc, char** argv) {
  return vexo::Run(argc, argv);
}
