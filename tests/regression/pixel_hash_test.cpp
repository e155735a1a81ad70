// A hash of the pixels of every sample, seed, crasher and hand-made file,
// kept in pixel-hashes.txt: a change that still decodes, but to other pixels,
// fails here. A new file fails too until its line is added.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "example_files.h"
#include "vexo_decoder.h"

namespace vexo {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = VEXO_SOURCE_DIR;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

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
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(HashPixels(pixels)));
  std::ostringstream line;
  line << static_cast<int>(family) << " " << VexoStatusName(decoded.status) << " " << decoded.result
       << " " << hash;
  return line.str();
}

VexoFamily FamilyFor(const std::vector<uint8_t>& file) {
  const auto header = ReadVexoHeader(file);
  return header ? FamilyOfVersion(header->codecVersion).value_or(VexoFamily::k101)
                : VexoFamily::k101;
}

void AddFolder(std::map<std::string, std::string>& actual, const std::string& folder,
               bool familyInFirstByte) {
  for (const auto& entry : fs::directory_iterator(kSource / folder)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || name.front() == '.' || name.ends_with(".md")) continue;
    std::vector<uint8_t> file = ReadAll(entry.path());
    VexoFamily family = FamilyFor(file);
    if (familyInFirstByte && !file.empty()) {  // the decode fuzzer's layout
      family = (file[0] & 1) ? VexoFamily::k201 : VexoFamily::k101;
      file.erase(file.begin());
    }
    actual[folder + "/" + name] = Fingerprint(family, file);
  }
}

std::map<std::string, std::string> ActualFingerprints() {
  using vexo::testing::HandCheckedFile;
  std::map<std::string, std::string> actual;
  AddFolder(actual, "samples", false);
  AddFolder(actual, "fuzz/decode-corpus", true);
  AddFolder(actual, "fuzz/file-corpus", false);
  AddFolder(actual, "fuzz/crashers", false);
  for (const uint8_t version : {101, 201}) {
    for (const uint8_t quality : {0, 1, 2}) {
      const auto file = HandCheckedFile(quality, version);
      actual["crafted/hand-checked-q" + std::to_string(quality) + "-" + std::to_string(version)] =
          Fingerprint(FamilyFor(file), file);
    }
  }
  const auto huge = vexo::testing::HugePictureInATinyFile();
  actual["crafted/huge-picture-tiny-file"] = Fingerprint(VexoFamily::k101, huge);
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
