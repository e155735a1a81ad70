#include "byteloom/output_name.h"

#include <filesystem>
#include <system_error>

namespace byteloom {

std::optional<std::string> MakeOutputName(std::string_view source_path,
                                          std::string_view source_extension,
                                          std::string_view destination_extension) {
  if (source_path.size() < source_extension.size()) return std::nullopt;
  std::string name(source_path.substr(0, source_path.size() - source_extension.size()));
  name += destination_extension;
  return name;
}

bool NamesSameFile(const std::string& source_path, const std::string& output_path) {
  if (source_path == output_path) return true;
  std::error_code ignored;  // a path that does not exist is no other file
  return std::filesystem::equivalent(source_path, output_path, ignored);
}

}  // namespace byteloom
