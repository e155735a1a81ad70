// Converting a 64 MiB binary file to byte-list text, and that text back to binary.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "byteloom/convert_file.h"

namespace {
namespace fs = std::filesystem;

constexpr std::size_t kFileSize = std::size_t{64} << 20;

// The input files, made once and removed when the program ends.
class BenchFiles {
 public:
  BenchFiles() : folder_(fs::temp_directory_path() / ("byteloom-bench-" + RandomName())) {
    fs::create_directories(folder_);
    WriteRandomFile(binaryPath(), kFileSize);
    std::ostringstream messages;
    if (byteloom::ConvertFile("vxo", "icn", binaryPath(), messages) != byteloom::kConvertOk) {
      throw std::runtime_error("cannot prepare the text file: " + messages.str());
    }
  }
  ~BenchFiles() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  std::string binaryPath() const { return (folder_ / "data.vxo").string(); }
  std::string textPath() const { return (folder_ / "data.icn").string(); }

 private:
  static std::string RandomName() { return std::to_string(std::random_device{}()); }

  static void WriteRandomFile(const std::string& path, std::size_t size) {
    std::mt19937_64 generator(42);
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at + 8 <= size; at += 8) {
      const std::uint64_t word = generator();
      for (int i = 0; i < 8; ++i) bytes[at + i] = static_cast<char>(word >> (8 * i));
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
  }

  fs::path folder_;
};

const BenchFiles& Files() {
  static const BenchFiles files;
  return files;
}

void RunConversion(benchmark::State& state, const char* from, const char* to,
                   const std::string& source) {
  for (auto _ : state) {
    std::ostringstream messages;
    if (byteloom::ConvertFile(from, to, source, messages) != byteloom::kConvertOk) {
      state.SkipWithError(messages.str().c_str());
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}

void BM_BinaryToText(benchmark::State& state) {
  RunConversion(state, "vxo", "dat", Files().binaryPath());
}

// Writes data.mmf so that the prepared text file itself is never replaced.
void BM_TextToBinary(benchmark::State& state) {
  RunConversion(state, "icn", "mmf", Files().textPath());
}

BENCHMARK(BM_BinaryToText)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_TextToBinary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
