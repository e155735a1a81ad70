// The micro:bit example's desktop side, run while the firmware is built:
//
//   microbit_pictures crop IN WIDTH HEIGHT OUT.ppm
//       the middle WIDTH x HEIGHT pixels of a picture (PNG, JPEG, BMP or
//       PPM) as a binary PPM, which vexo encode reads
//   microbit_pictures embed IN.vxo NAME OUT.c
//       the file as a constant array in a C source, with the checksum of
//       every band of 4 rows of the desktop's whole decode of it (vexo_decode)
//
// The firmware decodes the file band by band and holds each band to its
// checksum: FNV-1a (32-bit) over the band's pixels, low byte first, row
// after row, started afresh for every band.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "picture_reader.h"
#include "vexo.h"

namespace {

constexpr int kBandRows = 4;

int Fail(const std::string& message) {
  std::cerr << "microbit_pictures: " << message << "\n";
  return 1;
}

int Crop(const std::string& input, int width, int height, const std::string& output) {
  const vexo::Result<vexo::RgbPicture> picture = vexo::ReadPicture(input);
  if (!picture) return Fail(picture.error().message);
  if (width < 1 || height < 1 || width > picture->width || height > picture->height) {
    return Fail(input + " is smaller than " + std::to_string(width) + " x " +
                std::to_string(height));
  }
  const int left = (picture->width - width) / 2;
  const int top = (picture->height - height) / 2;
  std::ofstream out(output, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  for (int y = top; y < top + height; ++y) {
    const size_t start = 3 * (static_cast<size_t>(y) * picture->width + left);
    out.write(reinterpret_cast<const char*>(picture->rgb.data() + start), 3 * width);
  }
  out.close();
  return out ? 0 : Fail("cannot write " + output);
}

uint32_t BandChecksum(const uint16_t* pixels, size_t count) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < count; ++i) {
    hash = (hash ^ (pixels[i] & 0xFFu)) * 16777619u;
    hash = (hash ^ (pixels[i] >> 8)) * 16777619u;
  }
  return hash;
}

int Embed(const std::string& input, const std::string& name, const std::string& output) {
  std::ifstream in(input, std::ios::binary);
  if (!in) return Fail("cannot read " + input);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
  vexo_info info;
  int status = vexo_read_info(file.data(), file.size(), &info);
  if (status == VEXO_OK && (info.width < 1 || info.height < 1)) status = VEXO_ERROR_MALFORMED;
  if (status != VEXO_OK) return Fail(input + ": " + vexo_status_text(status));
  const size_t width = static_cast<size_t>(info.width);
  std::vector<uint16_t> pixels(width * static_cast<size_t>(info.height));
  std::vector<uint8_t> workspace(vexo_workspace_size(&info));
  status = vexo_decode(file.data(), file.size(), pixels.data(), width, 0, workspace.data(),
                       workspace.size(), nullptr);
  if (status != VEXO_OK) return Fail(input + ": " + vexo_status_text(status));

  std::ofstream out(output);
  out << "/* " << name << ", made by microbit_pictures. */\n#include \"picture.h\"\n\n"
      << "static const uint8_t file[" << file.size() << "] = {";
  for (size_t i = 0; i < file.size(); ++i) {
    out << (i % 16 == 0 ? "\n " : "") << " " << static_cast<unsigned>(file[i]) << ",";
  }
  const int bands = (info.height + kBandRows - 1) / kBandRows;
  out << "\n};\n\n/* FNV-1a of each band of the desktop's decode. */\n"
      << "static const uint32_t band_checksums[" << bands << "] = {";
  for (int band = 0; band < bands; ++band) {
    const int first = band * kBandRows;
    const int rows = info.height - first < kBandRows ? info.height - first : kBandRows;
    char text[16];
    std::snprintf(text, sizeof text, "0x%08xu,",
                  BandChecksum(pixels.data() + first * width, rows * width));
    out << (band % 6 == 0 ? "\n " : "") << " " << text;
  }
  out << "\n};\n\nconst picture " << name << " = {\"" << name << "\", file, sizeof file, "
      << "band_checksums, " << bands << "};\n";
  out.close();
  return out ? 0 : Fail("cannot write " + output);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 5 && args[0] == "crop") {
    return Crop(args[1], std::stoi(args[2]), std::stoi(args[3]), args[4]);
  }
  if (args.size() == 4 && args[0] == "embed") return Embed(args[1], args[2], args[3]);
  std::cerr << "usage: microbit_pictures crop IN WIDTH HEIGHT OUT.ppm\n"
               "       microbit_pictures embed IN.vxo NAME OUT.c\n";
  return 2;
}
