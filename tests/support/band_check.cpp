#include "band_check.h"

#include <algorithm>
#include <vector>

#include "vexo.h"

namespace vexo::testing {
namespace {

constexpr uint16_t kGuardPixel = 0xD00D;
constexpr uint8_t kGuardByte = 0x5A;
constexpr size_t kGuardBytes = 16;
constexpr int kBandRows = 4;

std::string Say(const std::string& what, long got, long expected) {
  return what + ": " + std::to_string(got) + ", expected " + std::to_string(expected);
}

struct WholeDecode {
  int status = VEXO_OK;
  std::vector<uint16_t> pixels;  // width x height, rows without gaps
};

WholeDecode DecodeWhole(std::span<const uint8_t> file, const vexo_info& info, unsigned flags) {
  WholeDecode whole;
  const bool hasPixels = info.width > 0 && info.height > 0;
  if (hasPixels) whole.pixels.assign(static_cast<size_t>(info.width) * info.height, 0);
  std::vector<uint8_t> workspace(vexo_workspace_size(&info));
  whole.status = vexo_decode(file.data(), file.size(), whole.pixels.data(),
                             hasPixels ? static_cast<size_t>(info.width) : 0, flags,
                             workspace.data(), workspace.size(), nullptr);
  return whole;
}

// The block row of the first fast-path block of an undefined mode, or -1.
int FirstUndefinedBlockRow(std::span<const uint8_t> file, const vexo_info& info) {
  if (info.path != VEXO_PATH_FAST || info.width < 4 || info.height < 4) return -1;
  const int columns = info.width / 4;
  const long blocks = static_cast<long>(columns) * (info.height / 4);
  for (long block = 0; block < blocks; ++block) {
    const size_t bit = 20 * 8 + 5 * static_cast<size_t>(block);
    if ((bit + 5 + 7) / 8 > file.size()) return -1;
    const unsigned pair = static_cast<unsigned>(file[bit / 8]) << 8 |
                          (bit / 8 + 1 < file.size() ? file[bit / 8 + 1] : 0u);
    const unsigned code = pair >> (11 - bit % 8) & 0x1F;
    if ((code & 0xF) > 10) return static_cast<int>(block / columns);
  }
  return -1;
}

// A band buffer with a guard row above and below and `gap` guard pixels
// after each row.
class BandBuffer {
 public:
  BandBuffer(size_t width, size_t gap)
      : width_(width), stride_(width + gap), pixels_((kBandRows + 2) * stride_, kGuardPixel) {}

  uint16_t* Rows() { return pixels_.data() + stride_; }
  size_t Stride() const { return stride_; }
  const uint16_t* Row(int r) const { return pixels_.data() + (r + 1) * stride_; }

  std::vector<uint16_t> Pixels() const { return pixels_; }

  // Every pixel outside the first `rows` rows' width as in `before`.
  bool OnlyBandWritten(const std::vector<uint16_t>& before, int rows) const {
    for (size_t i = 0; i < pixels_.size(); ++i) {
      const auto row = static_cast<long>(i / stride_) - 1;
      const bool written = row >= 0 && row < rows && i % stride_ < width_;
      if (!written && pixels_[i] != before[i]) return false;
    }
    return true;
  }

 private:
  size_t width_;
  size_t stride_;
  std::vector<uint16_t> pixels_;
};

// Calls that follow the end or a failure give it again.
std::string CheckRepeated(void* workspace, BandBuffer& band, int expected) {
  for (int call = 0; call < 2; ++call) {
    const int again = vexo_band_next(workspace, band.Rows(), band.Stride(), nullptr);
    if (again != expected) return Say("a later call returned", again, expected);
  }
  return {};
}

// The workspace the decode is given, at an odd address between guard
// bytes.
class GuardedWorkspace {
 public:
  explicit GuardedWorkspace(size_t size)
      : size_(size), bytes_(size + 2 * kGuardBytes + 1, kGuardByte) {}
  void* Start() { return bytes_.data() + kGuardBytes + 1; }
  bool GuardsKept() const {
    for (size_t i = 0; i < bytes_.size(); ++i) {
      const bool inside = i >= kGuardBytes + 1 && i < kGuardBytes + 1 + size_;
      if (!inside && bytes_[i] != kGuardByte) return false;
    }
    return true;
  }

 private:
  size_t size_;
  std::vector<uint8_t> bytes_;
};

std::string CheckWorkspaceBounds(const vexo_info& info, size_t need) {
  if (need == 0) return "vexo_band_workspace_size is 0";
  if (info.width <= 0 || info.height <= 0) return {};
  const auto width = static_cast<size_t>(info.width);
  const size_t bound =
      info.path == VEXO_PATH_TRANSFORM ? 4 * ((width + 3) / 4 * 4) + 512 : 2 * width + 256;
  return need <= bound ? std::string() : Say("band workspace", need, bound);
}

std::string CheckShortWorkspace(std::span<const uint8_t> file, size_t need) {
  GuardedWorkspace workspace(need - 1);
  const int begun = vexo_band_begin(workspace.Start(), need - 1, file.data(), file.size(), 0);
  if (begun != VEXO_ERROR_WORKSPACE) {
    return Say("a workspace one byte short began with", begun, VEXO_ERROR_WORKSPACE);
  }
  BandBuffer band(1, 0);
  if (const int next = vexo_band_next(workspace.Start(), band.Rows(), 1, nullptr);
      next != VEXO_ERROR_WORKSPACE) {
    return Say("after a workspace one byte short the next band returned", next,
               VEXO_ERROR_WORKSPACE);
  }
  return workspace.GuardsKept() ? std::string() : "wrote outside a short workspace";
}

// What the bands delivered.
struct Bands {
  int end = 0;       // 0 or the failure
  int failedAt = 0;  // the band that failed
  int rows = 0;      // rows delivered
  std::vector<uint16_t> pixels;
  std::string problem;
};

Bands DecodeBands(void* workspace, const vexo_info& info, const BandCheck& how) {
  Bands bands;
  const bool hasPixels = info.width > 0 && info.height > 0;
  const size_t width = hasPixels ? static_cast<size_t>(info.width) : 0;
  const int height = hasPixels ? info.height : 0;
  bands.pixels.assign(width * static_cast<size_t>(height), 0);
  BandBuffer buffers[2] = {BandBuffer(width, how.gap), BandBuffer(width, how.gap)};
  for (int index = 0;; ++index) {
    BandBuffer& band = buffers[index % 2];
    int first = -1;
    const std::vector<uint16_t> before = band.Pixels();
    const int got = vexo_band_next(workspace, band.Rows(), band.Stride(), &first);
    // A failed band may have written part of the rows it was for.
    const int rowsFor = std::min(kBandRows, height - bands.rows);
    if (!band.OnlyBandWritten(before, got < 0 ? rowsFor : got)) {
      bands.problem = "band " + std::to_string(index) + " wrote outside its pixels";
      return bands;
    }
    if (got <= 0) {
      bands.end = got;
      bands.failedAt = index;
      if (got == 0 && bands.rows != height) {
        bands.problem = Say("the bands ended after rows", bands.rows, height);
      } else {
        bands.problem = CheckRepeated(workspace, band, got);
      }
      return bands;
    }
    if (got != rowsFor || first != bands.rows) {
      bands.problem = Say("band " + std::to_string(index) + " of rows", got, rowsFor) +
                      Say(", first row", first, bands.rows);
      return bands;
    }
    for (int r = 0; r < got; ++r) {
      std::copy_n(band.Row(r), width, bands.pixels.begin() + (bands.rows + r) * width);
    }
    bands.rows += got;
  }
}

// The whole decode's verdict against the bands'.
std::string CompareOutcomes(std::span<const uint8_t> file, const vexo_info& info,
                            const WholeDecode& whole, const Bands& bands) {
  if (bands.end == 0) {
    if (whole.status != VEXO_OK)
      return Say("the bands succeeded where the whole decode", whole.status, 0);
    return bands.pixels == whole.pixels ? std::string() : "the bands differ from the whole decode";
  }
  if (bands.end == whole.status) return {};
  if (bands.end == VEXO_ERROR_MALFORMED && FirstUndefinedBlockRow(file, info) == bands.failedAt) {
    if (whole.status != VEXO_OK) return {};
    const auto delivered = static_cast<size_t>(bands.rows) * static_cast<size_t>(info.width);
    return std::equal(bands.pixels.begin(), bands.pixels.begin() + delivered, whole.pixels.begin())
               ? std::string()
               : "the bands before an undefined block differ from the whole decode";
  }
  return Say("the bands failed with", bands.end, whole.status);
}

}  // namespace

std::string CheckBandsAgainstWhole(std::span<const uint8_t> file, const BandCheck& how) {
  vexo_info info{};
  const int infoStatus = vexo_read_info(file.data(), file.size(), &info);
  if (infoStatus != VEXO_OK) {
    const size_t size = vexo_band_workspace_size(nullptr);
    GuardedWorkspace workspace(size);
    const int begun = vexo_band_begin(workspace.Start(), size, file.data(), file.size(), how.flags);
    if (begun != infoStatus) return Say("the bands began with", begun, infoStatus);
    BandBuffer band(1, 0);
    return CheckRepeated(workspace.Start(), band, infoStatus);
  }
  const size_t need = vexo_band_workspace_size(&info);
  if (std::string problem = CheckWorkspaceBounds(info, need); !problem.empty()) return problem;
  const WholeDecode whole = DecodeWhole(file, info, how.flags);
  GuardedWorkspace workspace(need);
  const int begun = vexo_band_begin(workspace.Start(), need, file.data(), file.size(), how.flags);
  if (begun != VEXO_OK) {
    if (begun != whole.status) return Say("the bands began with", begun, whole.status);
    BandBuffer band(1, 0);
    return CheckRepeated(workspace.Start(), band, begun);
  }
  if (std::string problem = CheckShortWorkspace(file, need); !problem.empty()) return problem;
  const Bands bands = DecodeBands(workspace.Start(), info, how);
  if (!bands.problem.empty()) return bands.problem;
  if (!workspace.GuardsKept()) return "wrote outside the workspace";
  return CompareOutcomes(file, info, whole, bands);
}

}  // namespace vexo::testing
