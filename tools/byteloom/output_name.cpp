#include "byteloom/output_name.h"

namespace byteloom {

std::optional<std::string> MakeOutputName(std::string_view sourcePath,
                                          std::string_view sourceExtension,
                                          std::string_view destinationExtension) {
  if (sourcePath.size() < sourceExtension.size()) return std::nullopt;
  std::string name(sourcePath.substr(0, sourcePath.size() - sourceExtension.size()));
  name += destinationExtension;
  return name;
}

}  // namespace byteloom
