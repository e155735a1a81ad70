// Names of the files a decode reads and writes.
#pragma once

#include <string>
#include <string_view>

namespace vexo {

// Whether `name` ends in `ending`, in any letter case.
bool EndsWithIgnoringCase(std::string_view name, std::string_view ending);

// `path` without a ".vxo" ending in any case; other names stay whole.
std::string WithoutVexoExtension(const std::string& path);

// The picture written beside a VEXO file: ".vxo" replaced by "1" and the
// output's extension, or those appended to any other name. cat.vxo with
// ".bmp" gives cat1.bmp.
std::string DecodedFileNameFor(const std::string& picturePath, std::string_view extension);

}  // namespace vexo
