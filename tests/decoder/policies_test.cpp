// The small policy of each path against its speed policy: the same status
// and result, and for a whole picture the same pixels, on the samples, on
// random streams and on every prefix of a few files, both decoding into
// buffers of the same garbage.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "vexo_decoder.h"
#include "whole/whole_decode.h"

namespace vexo::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using PathDecode = VexoDecodeResult (*)(const DecodePlan&, std::span<const uint8_t>,
                                        const PictureOutput&, std::span<uint8_t>);

struct PathForms {
  const char* name;
  VexoPath path;
};

void PrintTo(const PathForms& forms, std::ostream* out) {
  *out << forms.name;
}

const PathForms kForms[] = {
    {"predictive", VexoPath::kPredictive},
    {"transform", VexoPath::kTransform},
    {"fast", VexoPath::kFast},
};

const PathForms& FormsOf(VexoPath path) {
  for (const PathForms& forms : kForms) {
    if (forms.path == path) return forms;
  }
  return kForms[0];
}

struct Decoded {
  VexoDecodeResult outcome;
  std::vector<uint16_t> pixels;
};

// How the pixels are stored: rows `gap` pixels wider than the picture, and
// the byte order.
struct OutputLayout {
  int32_t gap;
  bool byteSwapped;
};

constexpr OutputLayout kOutputLayouts[] = {{0, false}, {3, false}, {5, true}};

// Runs one policy's whole decode into pixels pre-filled with 0xA5A5 (the
// same for both policies: a failed decode may leave some of it).
Decoded Run(PathDecode decode, const Bytes& file, const OutputLayout& layout) {
  DecodePlan plan;
  if (ReadPlan(file.data(), file.size(), std::nullopt, plan) != VexoStatus::kOk) return {};
  const ptrdiff_t stride = std::max<int32_t>(plan.width, 0) + layout.gap;
  Decoded decoded{{}, std::vector<uint16_t>(PicturePixelsSpanned(plan, stride), 0xA5A5)};
  std::vector<uint8_t> workspace(WholeWorkspaceBytes(plan), 0x5A);
  decoded.outcome = decode(plan, file, {decoded.pixels, stride, layout.byteSwapped}, workspace);
  return decoded;
}

// Returns the speed policy's status. Files shorter than the header never
// reach a path.
VexoStatus ExpectSameDecode(const PathForms& forms, const Bytes& file, const std::string& what) {
  if (file.size() < kVexoHeaderSize) return VexoStatus::kTruncated;
  VexoStatus status = VexoStatus::kOk;
  for (const OutputLayout& layout : kOutputLayouts) {
    const Decoded fast = Run(DecodeWholePicture<SpeedPolicy>, file, layout);
    const Decoded small = Run(DecodeWholePicture<SmallPolicy>, file, layout);
    const std::string where = std::string(forms.name) + " " + what + " with a gap of " +
                              std::to_string(layout.gap) + ": ";
    EXPECT_EQ(small.outcome.status, fast.outcome.status) << where;
    EXPECT_EQ(small.outcome.result, fast.outcome.result) << where;
    status = fast.outcome.status;
    // A failed decode leaves a partial picture, which each policy may take
    // further before it stops.
    if (status != VexoStatus::kOk) continue;
    const auto differ =
        std::mismatch(small.pixels.begin(), small.pixels.end(), fast.pixels.begin());
    EXPECT_TRUE(differ.first == small.pixels.end())
        << where << "pixel " << (differ.first - small.pixels.begin()) << " of "
        << small.pixels.size() << " is " << *differ.first << ", not " << *differ.second;
  }
  return status;
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(stream), {}};
}

VexoPath PathOfFile(const Bytes& file) {
  const VexoHeader header = *ReadVexoHeader(file);
  return SelectVexoPath(FamilyOfVersion(header.codecVersion).value_or(VexoFamily::k101), header);
}

std::vector<fs::path> FilesIn(const std::string& folder, const std::string& extension) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(VEXO_SOURCE_DIR) / folder)) {
    if (entry.path().extension() == extension) files.push_back(entry.path());
  }
  return files;
}

TEST(Policies, DecodeEverySampleAlike) {
  const auto samples = FilesIn("samples", ".vxo");
  ASSERT_GE(samples.size(), 8u);
  for (const fs::path& path : samples) {
    if (HasFailure()) return;
    const Bytes file = ReadFile(path);
    ExpectSameDecode(FormsOf(PathOfFile(file)), file, path.filename().string());
  }
}

// Every prefix of the small seed files, and of two samples one in every few
// hundred bytes (each prefix decodes a whole picture).
TEST(Policies, DecodeEveryPrefixAlike) {
  for (const fs::path& path : FilesIn("fuzz/file-corpus", ".vxo")) {
    const Bytes file = ReadFile(path);
    const PathForms& forms = FormsOf(PathOfFile(file));
    for (size_t size = 0; size <= file.size() && !HasFailure(); ++size) {
      ExpectSameDecode(forms, Bytes(file.begin(), file.begin() + size),
                       path.filename().string() + " cut to " + std::to_string(size));
    }
  }
  for (const char* name :
       {"coffee-176x144-predictive-201-q1.vxo", "logo-176x144-fast-201-q2.vxo"}) {
    const Bytes file = ReadFile(fs::path(VEXO_SOURCE_DIR) / "samples" / name);
    const PathForms& forms = FormsOf(PathOfFile(file));
    for (size_t size = kVexoHeaderSize; size <= file.size() && !HasFailure(); size += 379) {
      ExpectSameDecode(forms, Bytes(file.begin(), file.begin() + size),
                       std::string(name) + " cut to " + std::to_string(size));
    }
  }
}

// A header of the path, stream offsets that mostly land inside the file,
// and random coded bytes: every mode, code and escape, many decodes ending
// early.
Bytes RandomFile(VexoPath path, std::mt19937& random) {
  const auto side = [&random] { return static_cast<uint16_t>(1 + random() % 23); };
  const size_t size = 20 + random() % 600;
  Bytes file(size);
  for (auto& byte : file) byte = static_cast<uint8_t>(random());
  const uint16_t width = side(), height = side();
  const uint8_t header[12] = {
      'V',
      'E',
      'X',
      'O',
      static_cast<uint8_t>(width),
      0,
      static_cast<uint8_t>(height),
      0,
      0,
      path == VexoPath::kPredictive ? uint8_t{0} : uint8_t{1},
      static_cast<uint8_t>(path == VexoPath::kTransform ? random() % 56 : random() % 4),
      path == VexoPath::kFast ? uint8_t{201} : uint8_t{101}};
  std::copy(std::begin(header), std::end(header), file.begin());
  const auto putLe32 = [&file](size_t at, uint32_t value) {
    for (int k = 0; k < 4; ++k) file[at + k] = static_cast<uint8_t>(value >> (8 * k));
  };
  if (path != VexoPath::kTransform && random() % 8 != 0) {
    putLe32(12, static_cast<uint32_t>(random() % size));  // raw or symbol stream
    if (path == VexoPath::kFast) putLe32(16, static_cast<uint32_t>(random() % size));
  }
  return file;
}

class PoliciesOnRandomStreams : public ::testing::TestWithParam<PathForms> {};

TEST_P(PoliciesOnRandomStreams, DecodeAlike) {
  std::mt19937 random(20261207);
  int whole = 0;
  for (int round = 0; round < 3000 && !HasFailure(); ++round) {
    const Bytes file = RandomFile(GetParam().path, random);
    whole += ExpectSameDecode(GetParam(), file, "random file " + std::to_string(round)) ==
             VexoStatus::kOk;
  }
  // Both endings are exercised: whole pictures and decodes cut short.
  EXPECT_GT(whole, 100);
  EXPECT_LT(whole, 2900);
}

INSTANTIATE_TEST_SUITE_P(EveryPath, PoliciesOnRandomStreams, ::testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vexo::testing
