// A VEXO file as a C array for a firmware: OUT.c holds the file's bytes,
// OUT.h beside it declares them with what a decode of them needs to know.
//
//   OUT.h  #include "vexo.h"
//          #define NAME_WIDTH 176, NAME_HEIGHT, NAME_SIZE (NAME in capitals),
//          NAME_PATH (VEXO_PATH_*), NAME_WORKSPACE_SIZE (vexo_workspace_size)
//          extern const uint8_t NAME[NAME_SIZE];
//   OUT.c  #include "OUT.h"
//          VEXO_ASSET_ATTRIBUTE const uint8_t NAME[NAME_SIZE] = { 0x56, ... };
//
// VEXO_ASSET_ATTRIBUTE is empty unless the program defines it (a section,
// an alignment, PROGMEM). Both files compile warning-free as C99 and as C++.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "vexo_result.h"

namespace c_source {

// The array name a file name gives: its stem with every run of characters
// other than A-Z, a-z and 0-9 made one _ (so a character of several UTF-8
// bytes is one _, and no name holds __), none at the end, and "image_" in
// place of a leading _ or before a leading digit, since C reserves names
// that begin with _ ("image" for a stem without a letter or digit).
// "pics/my-bike 2.c" gives "my_bike_2", "2024 logo.c" "image_2024_logo",
// "café.c" "caf". This is the one rule: vexo_add_images asks vexo encode.
std::string ArrayNameFromPath(const std::string& sourcePath);

// Why `name` cannot name the array in C and C++ (not an identifier, reserved,
// a keyword, or a name the files themselves use), or empty when it can.
std::string ArrayNameProblem(std::string_view name);

// The array's name in capitals, which begins the names of its macros
// (NAME_WIDTH...): two arrays of one program need different ones.
std::string MacroPrefix(std::string_view arrayName);

// The header beside a C source: its extension replaced by ".h", or ".h"
// appended when it has none. "pics/logo.c" gives "pics/logo.h".
std::string HeaderPathFor(const std::string& sourcePath);

// The files of one array and its name.
struct CSourceNames {
  std::string sourcePath;
  std::string headerPath;
  std::string arrayName;
};

// The names for a C source written to `sourcePath`, the array named
// `requestedName` or, when that is empty, after the file. Fails
// (kInvalidRequest, the message naming the file) when the array name is
// unusable or the header cannot be named in an #include line.
vexo::Result<CSourceNames> CSourceNamesFor(const std::string& sourcePath,
                                           std::string_view requestedName);

// The texts of both files.
struct CSourcePair {
  CSourceNames names;
  std::string headerText;
  std::string sourceText;
};

// The pair for `vexoFile`, whose own header gives the picture's sides. Fails
// (kInvalidRequest) when the bytes are not a VEXO file.
vexo::Result<CSourcePair> MakeCSourcePair(const CSourceNames& names,
                                          std::span<const uint8_t> vexoFile);

// Writes both files, each appearing complete or not at all, and both or
// neither: when the second cannot be put in place, the first is removed
// again. A failure is kWriteFailed, with a message that names the file and
// the reason.
vexo::Result<void> WriteCSourcePair(const CSourcePair& pair);

}  // namespace c_source
