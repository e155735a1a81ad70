// Decodes one VEXO file with the installed library and prints its status and
// size.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "vexo_decoder.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
  const auto header = vexo::ReadVexoHeader(file);
  const auto family = header ? vexo::FamilyOfVersion(header->codecVersion) : std::nullopt;
  if (!family) return 1;
  std::vector<uint16_t> image(vexo::VexoPixelCount(*header));
  const vexo::VexoDecodeResult decoded = vexo::VexoDecode(*family, file, image);
  std::printf("%s %dx%d\n", vexo::VexoStatusName(decoded.status).data(), header->width,
              header->height);
  return decoded.status == vexo::VexoStatus::kOk ? 0 : 1;
}
