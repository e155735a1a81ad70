// Rate and fidelity of the transform path beside JPEG 4:4:4, and the
// lossless sizes beside QOI and lossless WebP, on every picture of a folder.
// Fidelity is PSNR as the viewer shows the picture (5-6-5 with zero low
// bits) against the 8-bit source; JPEG's decode is shown through the nearest
// 5-6-5 pixel, as a device would show it.
//
//   rd_bench [FOLDER] [--effort N] [--previous TABLE] [--write-previous TABLE]
//
// FOLDER defaults to the bench pictures (bench/images), TABLE
// to the stored points of the previous release's encoder. --write-previous
// stores this run's transform points as such a table. One thread; a
// benchmark, not a test.
#include <turbojpeg.h>
#include <webp/encode.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../peers/qoi_codec.h"
#include "bd_rate.h"
#include "picture_reader.h"
#include "pixel_conversion.h"
#include "vexo_decoder.h"
#include "vexo_encoder.h"

namespace vexo {
namespace {

constexpr int kFirstQuality = 6;
constexpr int kLastQuality = 36;
constexpr int kFirstJpegQuality = 40;
constexpr int kLastJpegQuality = 97;
constexpr int kLastQualityNoLargerThanLossless = 24;

using bench::RdPoint;

struct Settings {
  std::filesystem::path folder = VEXO_RD_PICTURES;
  std::filesystem::path previous = VEXO_RD_PREVIOUS;
  std::filesystem::path writePrevious;
  int effort = kDefaultEffort;
};

double BitsPerPixel(size_t bytes, const RgbPicture& picture) {
  return 8.0 * static_cast<double>(bytes) / (static_cast<double>(picture.width) * picture.height);
}

std::vector<uint16_t> DecodeOrDie(VexoFamily family, const std::vector<uint8_t>& file,
                                  const RgbPicture& picture) {
  std::vector<uint16_t> pixels(static_cast<size_t>(picture.width) * picture.height);
  if (VexoDecode(family, file, pixels).status != VexoStatus::kOk) {
    std::fprintf(stderr, "a file of ours does not decode\n");
    std::exit(1);
  }
  return pixels;
}

std::vector<uint8_t> EncodeOrDie(const RgbPicture& picture, const EncodeOptions& options) {
  Result<std::vector<uint8_t>> file = EncodeVexo(picture, options);
  if (!file) {
    std::fprintf(stderr, "encode failed: %s\n", file.error().message.c_str());
    std::exit(1);
  }
  return std::move(*file);
}

struct TransformCurve {
  std::vector<RdPoint> points;  // by quality, kFirstQuality first
  double seconds = 0;           // encoding time of all of them
};

TransformCurve MeasureTransform(const RgbPicture& picture, int effort) {
  TransformCurve curve;
  for (int quality = kFirstQuality; quality <= kLastQuality; ++quality) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<uint8_t> file = EncodeOrDie(
        picture, {VexoPath::kTransform, VexoFamily::k101, quality, Dither::kNone, effort});
    curve.seconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double psnr = PsnrAgainstSource(picture, DecodeOrDie(VexoFamily::k101, file, picture));
    curve.points.push_back({quality, BitsPerPixel(file.size(), picture), psnr});
  }
  return curve;
}

std::vector<RdPoint> MeasureJpeg(const RgbPicture& picture) {
  std::vector<RdPoint> points;
  tjhandle compressor = tjInitCompress();
  tjhandle decompressor = tjInitDecompress();
  std::vector<uint8_t> decoded(picture.rgb.size());
  for (int quality = kFirstJpegQuality; quality <= kLastJpegQuality; ++quality) {
    unsigned char* coded = nullptr;
    unsigned long size = 0;
    if (tjCompress2(compressor, picture.rgb.data(), picture.width, 0, picture.height, TJPF_RGB,
                    &coded, &size, TJSAMP_444, quality, TJFLAG_ACCURATEDCT) != 0 ||
        tjDecompress2(decompressor, coded, size, decoded.data(), picture.width, 0, picture.height,
                      TJPF_RGB, TJFLAG_ACCURATEDCT) != 0) {
      std::fprintf(stderr, "libjpeg-turbo failed: %s\n", tjGetErrorStr());
      std::exit(1);
    }
    tjFree(coded);
    std::vector<uint16_t> shown(decoded.size() / 3);
    for (size_t i = 0; i < shown.size(); ++i) {
      shown[i] = NearestRgb565(decoded[3 * i], decoded[3 * i + 1], decoded[3 * i + 2]);
    }
    points.push_back({quality, BitsPerPixel(size, picture), PsnrAgainstSource(picture, shown)});
  }
  tjDestroy(decompressor);
  tjDestroy(compressor);
  return points;
}

struct LosslessSizes {
  double ceiling = 0;  // PSNR of the nearest 5-6-5 picture, the most any path shows
  double predictive = 0;
  double fast = NAN;  // NAN when the fast path does not take the picture's size
  double qoi = 0;
  double webp = 0;
};

LosslessSizes MeasureLossless(const RgbPicture& picture) {
  LosslessSizes sizes;
  sizes.predictive = BitsPerPixel(
      EncodeOrDie(picture, {VexoPath::kPredictive, VexoFamily::k101, 0}).size(), picture);
  const EncodeOptions fast{VexoPath::kFast, VexoFamily::k201, 0};
  if (CheckEncodeOptions(picture, fast)) {
    sizes.fast = BitsPerPixel(EncodeOrDie(picture, fast).size(), picture);
  }
  // The peers get the same 5-6-5 data, expanded to 8 bits with zero low bits.
  const std::vector<uint16_t> nearest = QuantiseToRgb565(picture);
  sizes.ceiling = PsnrAgainstSource(picture, nearest);
  RgbPicture shown = picture;
  ExpandRgb565(nearest, shown.rgb);
  sizes.qoi = BitsPerPixel(bench::QoiEncodeRgb(shown).size(), picture);
  uint8_t* webp = nullptr;
  const size_t webpBytes =
      WebPEncodeLosslessRGB(shown.rgb.data(), shown.width, shown.height, 3 * shown.width, &webp);
  WebPFree(webp);
  sizes.webp = BitsPerPixel(webpBytes, picture);
  return sizes;
}

// picture -> points, from lines "picture quality bpp psnr" (# comments).
std::map<std::string, std::vector<RdPoint>> ReadTable(const std::filesystem::path& path) {
  std::map<std::string, std::vector<RdPoint>> table;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    RdPoint point;
    if (fields >> name >> point.quality >> point.bitsPerPixel >> point.psnr) {
      table[name].push_back(point);
    }
  }
  return table;
}

Settings ParseArguments(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--effort" && hasValue) {
      settings.effort = std::atoi(argv[++i]);
    } else if (argument == "--previous" && hasValue) {
      settings.previous = argv[++i];
    } else if (argument == "--write-previous" && hasValue) {
      settings.writePrevious = argv[++i];
    } else if (!argument.empty() && argument[0] != '-') {
      settings.folder = argument;
    } else {
      std::fprintf(stderr,
                   "usage: rd_bench [FOLDER] [--effort N] [--previous TABLE] "
                   "[--write-previous TABLE]\n");
      std::exit(2);
    }
  }
  return settings;
}

void PrintCurves(const std::vector<RdPoint>& ours, const std::vector<RdPoint>& jpeg) {
  std::printf("  %-20s   %-20s\n", "transform q: bpp dB", "JPEG q: bpp dB");
  for (size_t i = 0; i < std::max(ours.size(), jpeg.size()); ++i) {
    char left[64] = "";
    char right[64] = "";
    if (i < ours.size()) {
      std::snprintf(left, sizeof left, "%2d: %6.3f %5.2f", ours[i].quality, ours[i].bitsPerPixel,
                    ours[i].psnr);
    }
    if (i < jpeg.size()) {
      std::snprintf(right, sizeof right, "%2d: %6.3f %5.2f", jpeg[i].quality, jpeg[i].bitsPerPixel,
                    jpeg[i].psnr);
    }
    std::printf("  %-20s   %-20s\n", left, right);
  }
}

std::string Percent(double rate) {
  if (std::isnan(rate)) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f%%", 100 * rate);
  return text;
}

double Mean(const std::vector<double>& values) {
  double sum = 0;
  int count = 0;
  for (const double value : values) {
    if (std::isnan(value)) continue;
    sum += value;
    ++count;
  }
  return count == 0 ? NAN : sum / count;
}

double GeometricMean(const std::vector<double>& values) {
  double logSum = 0;
  int count = 0;
  for (const double value : values) {
    if (std::isnan(value)) continue;
    logSum += std::log(value);
    ++count;
  }
  return count == 0 ? NAN : std::exp(logSum / count);
}

int Run(const Settings& settings) {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(settings.folder)) {
    if (entry.path().extension() == ".png") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  const auto previous = ReadTable(settings.previous);
  std::ofstream written;
  if (!settings.writePrevious.empty()) {
    written.open(settings.writePrevious);
    written << "# picture\tquality\tbpp\tpsnr (transform path, viewer's 5-6-5 against source)\n";
  }

  struct Summary {
    std::string name;
    double againstJpeg, previousAgainstJpeg, againstPrevious, megapixelsPerSecond;
    int largerThanLossless;
    LosslessSizes lossless;
  };
  std::vector<Summary> summaries;
  for (const auto& path : paths) {
    const Result<RgbPicture> read = ReadPicture(path.string());
    if (!read) {
      std::fprintf(stderr, "skipping %s\n", read.error().message.c_str());
      continue;
    }
    const RgbPicture& picture = *read;
    const std::string name = path.stem().string();
    const TransformCurve ours = MeasureTransform(picture, settings.effort);
    const std::vector<RdPoint> jpeg = MeasureJpeg(picture);
    Summary summary{
        name, bench::BjontegaardRate(ours.points, jpeg), NAN, NAN, 0, 0, MeasureLossless(picture)};
    if (const auto found = previous.find(name); found != previous.end()) {
      summary.previousAgainstJpeg = bench::BjontegaardRate(found->second, jpeg);
      summary.againstPrevious = bench::BjontegaardRate(ours.points, found->second);
    }
    summary.megapixelsPerSecond = 1e-6 * static_cast<double>(picture.width) * picture.height *
                                  ours.points.size() / ours.seconds;
    for (const RdPoint& point : ours.points) {
      if (point.quality <= kLastQualityNoLargerThanLossless &&
          point.bitsPerPixel > summary.lossless.predictive) {
        ++summary.largerThanLossless;
      }
      if (written.is_open()) {
        written << name << '\t' << point.quality << '\t' << point.bitsPerPixel << '\t' << point.psnr
                << '\n';
      }
    }
    std::printf("%s (%d x %d)\n", name.c_str(), picture.width, picture.height);
    PrintCurves(ours.points, jpeg);
    std::fflush(stdout);
    summaries.push_back(summary);
  }

  std::printf(
      "\nBD-rate: piecewise-cubic (monotone Hermite) fit of log rate against PSNR,\n"
      "integrated over the PSNR range both curves reach; negative = fewer bits.\n"
      "Transform qualities %d..%d at effort %d; JPEG 4:4:4 qualities %d..%d.\n\n",
      kFirstQuality, kLastQuality, settings.effort, kFirstJpegQuality, kLastJpegQuality);
  std::printf("%-24s %9s %9s %9s %6s %6s %6s | %7s %7s %7s %7s\n", "picture", "prev/JPEG",
              "vs JPEG", "vs prev", "MP/s", ">pred", "ceil", "pred", "fast", "QOI", "WebP");
  std::vector<double> previousJpegRates, jpegRates, previousRates, predictive, fast, qoi, webp;
  for (const Summary& s : summaries) {
    std::printf("%-24s %9s %9s %9s %6.2f %6d %6.2f | %7.3f %7.3f %7.3f %7.3f\n", s.name.c_str(),
                Percent(s.previousAgainstJpeg).c_str(), Percent(s.againstJpeg).c_str(),
                Percent(s.againstPrevious).c_str(), s.megapixelsPerSecond, s.largerThanLossless,
                s.lossless.ceiling, s.lossless.predictive, s.lossless.fast, s.lossless.qoi,
                s.lossless.webp);
    previousJpegRates.push_back(s.previousAgainstJpeg);
    jpegRates.push_back(s.againstJpeg);
    previousRates.push_back(s.againstPrevious);
    predictive.push_back(s.lossless.predictive);
    fast.push_back(s.lossless.fast);
    qoi.push_back(s.lossless.qoi);
    webp.push_back(s.lossless.webp);
  }
  std::printf("%-24s %9s %9s %9s %6s %6s %6s | %7.3f %7.3f %7.3f %7.3f\n", "mean (lossless: geom.)",
              Percent(Mean(previousJpegRates)).c_str(), Percent(Mean(jpegRates)).c_str(),
              Percent(Mean(previousRates)).c_str(), "", "", "", GeometricMean(predictive),
              GeometricMean(fast), GeometricMean(qoi), GeometricMean(webp));
  std::printf(
      "\nprev/JPEG: the previous release against JPEG. "
      "MP/s: transform encoding over all its qualities. >pred: how many of the "
      "qualities %d..%d\ngive a transform file larger than the lossless predictive file. "
      "ceil: PSNR of the\nnearest 5-6-5 picture. Lossless columns: bits per pixel on the "
      "5-6-5 data.\n",
      kFirstQuality, kLastQualityNoLargerThanLossless);
  return 0;
}

}  // namespace
}  // namespace vexo

int main(int argc, char** argv) {
  return vexo::Run(vexo::ParseArguments(argc, argv));
}
