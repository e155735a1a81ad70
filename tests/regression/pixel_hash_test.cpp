// A hash of the pixels of every sample, seed and crasher,
// kept in pixel-hashes.txt: a change that still decodes, but to other pixels,
// fails here. A new file fails too until its line is added.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <map>
#include <sstream>

#include "vexo_decoder.h"

namespace vexo {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = VEXO_SOURCE_DIR;

// FNV-1a over the pixels, low byte first.
uint64_t HashPixels(const std::vector<uint16_t>& pixels) {
  uint64_t hash = 0xcbf29ce484222325;
  for (const uint16_t pixel : pixels) {
    for (const uint8_t byte : {static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 8)}) {
      hash = (hash ^ byte) * 0x100000001b3;
    }
  }
  return hash;
}

// "family status result hash" of a decode into a zero-filled buffer.
std::string Fingerprint(VexoFamily family, const std::vector<uint8_t>& file) {
  const auto header = ReadVexoHeader(file);
  const bool plausible = header && VexoFileCanHoldPicture(*header, file.size());
  std::vector<uint16_t> pixels(plausible ? VexoPixelCount(*header) : 0);
  const VexoDecodeResult decoded = VexoDecode(family, file, pixels);
  std::ostringstream line;
  line << static_cast<int>(family) << " " << VexoStatusName(decoded.status) << " " << decoded.result
       << " " << std::hex << std::setw(16) << std::setfill('0') << HashPixels(pixels);
  return line.str();
}

void AddFolder(std::map<std::string, std::string>& actual, const std::string& folder,
               bool familyInFirstByte) {
  for (const auto& entry : fs::directory_iterator(kSource / folder)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || name.front() == '.' || name.ends_with(".md")) continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(stream), {}};
    const auto header = ReadVexoHeader(file);
    auto family = header ? FamilyOfVersion(header->codecVersion).value_or(VexoFamily::k101)
                         : VexoFamily::k101;
    // The decode fuzzer's layout, in its corpus and in what it found.
    const bool fuzzerLayout = familyInFirstByte || name.starts_with("decode_fuzzer-");
    if (fuzzerLayout && !file.empty()) {
      family = (file[0] & 1) ? VexoFamily::k201 : VexoFamily::k101;
      file.erase(file.begin());
    }
    actual[folder + "/" + name] = Fingerprint(family, file);
  }
}

std::map<std::string, std::string> ActualFingerprints() {
  std::map<std::string, std::string> actual;
  AddFolder(actual, "samples", false);
  AddFolder(actual, "fuzz/decode-corpus", true);
  AddFolder(actual, "fuzz/file-corpus", false);
  AddFolder(actual, "fuzz/crashers", false);
  return actual;
}

std::map<std::string, std::string> StoredFingerprints() {
  std::map<std::string, std::string> stored;
  std::ifstream table(kSource / "tests/regression/pixel-hashes.txt");
  std::string name, rest;
  while (table >> name && std::getline(table >> std::ws, rest)) stored[name] = rest;
  return stored;
}

// Both ways: every file has its stored line, and every line still has its file.
TEST(PixelHashes, EveryFileDecodesToTheStoredPixels) {
  const auto stored = StoredFingerprints();
  const auto actual = ActualFingerprints();
  for (const auto& [name, fingerprint] : actual) {
    const auto found = stored.find(name);
    if (found == stored.end()) {
      ADD_FAILURE() << "no stored hash; add the line:\n" << name << " " << fingerprint;
    } else {
      EXPECT_EQ(found->second, fingerprint) << name;
    }
  }
  for (const auto& [name, fingerprint] : stored) {
    EXPECT_TRUE(actual.contains(name)) << name << " is gone; remove its line";
  }
}

}  // namespace

}  // namespace vexo
