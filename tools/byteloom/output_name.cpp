#include "byteloom/output_name.h"

namespace byteloom {

std::optional<std::string> MakeOutputName(std::string_view source_path,
                                          std::string_view source_extension,
                                          std::string_view destination_extension) {
  if (source_path.size() < source_extension.size()) return std::nullopt;
  std::string name(source_path.substr(0, source_path.size() - source_extension.size()));
  name += destination_extension;
  return name;
}

}  // namespace byteloom
