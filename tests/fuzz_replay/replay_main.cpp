// Runs a fuzz target's checks on every file named on the command line, or
// found in a folder named there, without the fuzzing engine: each file that
// a fuzzer ever found stays a test of every build.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int Replay(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "Cannot read " << path.string() << "\n";
    return 1;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  std::cout << path.filename().string() << "\n" << std::flush;  // names the culprit of a crash
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0;
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path argument = argv[i];
    if (!std::filesystem::is_directory(argument)) {
      failures += Replay(argument);
      ++replayed;
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(argument)) {
      if (!entry.is_regular_file() || entry.path().filename().string().front() == '.') continue;
      failures += Replay(entry.path());
      ++replayed;
    }
  }
  std::cout << replayed << " files replayed\n";
  return failures == 0 ? 0 : 1;
}
