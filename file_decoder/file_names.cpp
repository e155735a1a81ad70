#include "file_names.h"

#include <algorithm>
#include <cctype>

namespace vexo {

bool EndsWithIgnoringCase(std::string_view name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  return std::equal(ending.begin(), ending.end(), name.end() - ending.size(),
                    [](char expected, char actual) {
                      return std::tolower(static_cast<unsigned char>(expected)) ==
                             std::tolower(static_cast<unsigned char>(actual));
                    });
}

std::string WithoutVexoExtension(const std::string& path) {
  constexpr std::string_view kVexoExtension = ".vxo";
  if (!EndsWithIgnoringCase(path, kVexoExtension)) return path;
  return path.substr(0, path.size() - kVexoExtension.size());
}

std::string DecodedFileNameFor(const std::string& picturePath, std::string_view extension) {
  return WithoutVexoExtension(picturePath) + "1" + std::string(extension);
}

}  // namespace vexo
