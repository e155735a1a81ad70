#include "reader_check.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "vexo.h"

namespace vexo::testing {
namespace {

constexpr uint16_t kGarbage = 0xC3A5;
constexpr int kBandRows = 4;

// A file served from memory, watching what it is asked for.
struct TestReader {
  std::span<const uint8_t> file;
  size_t inputBytes;
  int64_t failAt;
  std::vector<uint32_t> reads;  // of each byte
  ReaderUse use;
  std::string problem;
  bool failed = false;

  static long Read(void* context, uint32_t offset, uint8_t* buffer, size_t size) {
    auto& self = *static_cast<TestReader*>(context);
    ++self.use.calls;
    if (self.failed && self.problem.empty()) self.problem = "the reader was called after it failed";
    if (size > self.inputBytes && self.problem.empty()) {
      self.problem = "asked for " + std::to_string(size) + " bytes at once";
    }
    if (uint64_t{offset} + size > self.file.size() && self.problem.empty()) {
      self.problem = "asked for bytes " + std::to_string(offset) + " to " +
                     std::to_string(offset + size) + " of a file of " +
                     std::to_string(self.file.size());
    }
    if (!self.problem.empty()) return -1;
    if (self.failAt >= offset && self.failAt < static_cast<int64_t>(offset + size)) {
      self.failed = true;
      return -1;
    }
    std::memcpy(buffer, self.file.data() + offset, size);
    self.use.bytesRead += size;
    for (size_t i = 0; i < size; ++i) ++self.reads[offset + i];
    return static_cast<long>(size);
  }
};

// One call of vexo_band_next: what it returned and wrote.
struct BandCall {
  int returned;
  int firstRow;
  std::vector<uint16_t> pixels;  // the rows it wrote
  bool operator==(const BandCall&) const = default;
};

struct Transcript {
  int begun;
  std::vector<BandCall> calls;
};

// The bands of a decode begun in `workspace`, until the end or a failure
// has been answered twice more.
Transcript DecodeBands(int begun, void* workspace, int width) {
  Transcript transcript{begun, {}};
  const auto stride = static_cast<size_t>(std::max(width, 1));
  std::vector<uint16_t> band(kBandRows * stride, kGarbage);
  int repeats = 0;
  while (repeats < 3) {
    std::fill(band.begin(), band.end(), kGarbage);
    int firstRow = -1;
    const int returned = vexo_band_next(workspace, band.data(), stride, &firstRow);
    BandCall call{returned, returned > 0 ? firstRow : -1, {}};
    if (returned > 0) {
      call.pixels.assign(band.begin(), band.begin() + returned * static_cast<long>(stride));
    } else {
      ++repeats;
    }
    transcript.calls.push_back(std::move(call));
  }
  return transcript;
}

std::string Say(const std::string& what, long got, long expected) {
  return what + ": " + std::to_string(got) + ", expected " + std::to_string(expected);
}

// The decode through a reader against the one from memory: the same calls,
// or with a failing reader the same calls up to one that fails as a read.
std::string Compare(const Transcript& memory, const Transcript& reader, bool mayFail) {
  if (mayFail && reader.begun == VEXO_ERROR_READ) return {};
  if (reader.begun != memory.begun) return Say("began with", reader.begun, memory.begun);
  for (size_t i = 0; i < reader.calls.size(); ++i) {
    if (i >= memory.calls.size()) return "more calls than from memory";
    if (mayFail && reader.calls[i].returned == VEXO_ERROR_READ) {
      for (size_t j = i; j < reader.calls.size(); ++j) {
        if (reader.calls[j].returned != VEXO_ERROR_READ) return "a read failure was forgotten";
      }
      return {};
    }
    if (!(reader.calls[i] == memory.calls[i])) {
      return Say("call " + std::to_string(i) + " returned", reader.calls[i].returned,
                 memory.calls[i].returned) +
             (reader.calls[i].returned == memory.calls[i].returned ? " with other pixels" : "");
    }
  }
  return {};
}

}  // namespace

std::string CheckReaderAgainstMemory(std::span<const uint8_t> file, const ReaderCheck& how,
                                     ReaderUse* use) {
  vexo_info info{};
  const bool hasInfo = vexo_read_info(file.data(), file.size(), &info) == VEXO_OK;
  const vexo_info* known = hasInfo ? &info : nullptr;
  const int width = hasInfo && info.width > 0 ? info.width : 1;

  std::vector<uint8_t> memoryWorkspace(vexo_band_workspace_size(known));
  const int memoryBegun = vexo_band_begin(memoryWorkspace.data(), memoryWorkspace.size(),
                                          file.data(), file.size(), how.flags);
  const Transcript memory = DecodeBands(memoryBegun, memoryWorkspace.data(), width);

  TestReader reader{file, how.inputBytes, how.failAt, std::vector<uint32_t>(file.size()), {}, {}};
  const vexo_reader callback{TestReader::Read, &reader, static_cast<uint32_t>(file.size())};
  std::vector<uint8_t> workspace(vexo_band_reader_workspace_size(known, how.inputBytes) + 1);
  void* const at = workspace.data() + 1;  // at an odd address
  const int begun =
      vexo_band_begin_reader(at, workspace.size() - 1, &callback, how.inputBytes, how.flags);
  const Transcript through = DecodeBands(begun, at, width);

  if (use != nullptr) {
    *use = reader.use;
    for (const uint32_t reads : reader.reads) {
      use->mostReadsOfAByte = std::max(use->mostReadsOfAByte, reads);
    }
  }
  if (!reader.problem.empty()) return reader.problem;
  if (file.size() < 12) {
    return begun == VEXO_ERROR_TRUNCATED ? std::string()
                                         : Say("a file of a few bytes began with", begun, -5);
  }
  if (how.inputBytes < 64) {
    return begun == VEXO_ERROR_WORKSPACE || begun == memoryBegun || begun == VEXO_ERROR_READ
               ? std::string()
               : Say("an input buffer under 64 bytes began with", begun, VEXO_ERROR_WORKSPACE);
  }
  return Compare(memory, through, how.failAt >= 0);
}

}  // namespace vexo::testing
