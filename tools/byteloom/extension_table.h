#pragma once

#include <array>
#include <string_view>

namespace byteloom {

// The extensions the tool knows. Index 0 is a placeholder that the menus never offer;
// indices 1 to 3 name binary resources, 4 to 6 name byte-list text.
inline constexpr std::array<std::string_view, 7> ExtensionTable = {"",    "vxo", "mmf", "midi",
                                                                   "icn", "dat", "mel"};

inline constexpr int kFirstBinaryIndex = 1;
inline constexpr int kLastBinaryIndex = 3;
inline constexpr int kFirstTextIndex = 4;
inline constexpr int kLastTextIndex = 6;

constexpr bool IsBinaryIndex(int index) {
  return index >= kFirstBinaryIndex && index <= kLastBinaryIndex;
}
constexpr bool IsTextIndex(int index) {
  return index >= kFirstTextIndex && index <= kLastTextIndex;
}

// ASCII comparison without regard to letter case (independent of the locale).
bool EqualsIgnoringCase(std::string_view left, std::string_view right);

// Where the table puts an extension, compared without regard to letter case.
enum class ExtensionSide { kBinary, kText, kOutsideTable };
ExtensionSide SideOf(std::string_view extension);

// True when a file with this extension holds binary data and so converts to text. Every other
// extension, listed or not, marks a byte-list text that converts to binary.
bool IsBinaryExtension(std::string_view extension);

}  // namespace byteloom
