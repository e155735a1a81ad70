#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace byteloom {

// The name of a converted file: the source path with as many characters cut from its end as
// the source extension has, then the destination extension. The path is taken to end with
// the source extension, whatever its letter case: "LOGO.VXO" from "vxo" to "icn" gives
// "LOGO.icn". Empty when the path is shorter than the extension.
std::optional<std::string> MakeOutputName(std::string_view sourcePath,
                                          std::string_view sourceExtension,
                                          std::string_view destinationExtension);

}  // namespace byteloom
