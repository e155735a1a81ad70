#include "byteloom/extension_table.h"

#include <algorithm>

namespace byteloom {
namespace {

char ToLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
  return std::ranges::equal(left, right,
                            [](char a, char b) { return ToLowerAscii(a) == ToLowerAscii(b); });
}

bool IsBinaryExtension(std::string_view extension) {
  for (int index = kFirstBinaryIndex; index <= kLastBinaryIndex; ++index) {
    if (EqualsIgnoringCase(extension, ExtensionTable[index])) return true;
  }
  return false;
}

ExtensionSide SideOf(std::string_view extension) {
  if (IsBinaryExtension(extension)) return ExtensionSide::kBinary;
  for (int index = kFirstTextIndex; index <= kLastTextIndex; ++index) {
    if (EqualsIgnoringCase(extension, ExtensionTable[index])) return ExtensionSide::kText;
  }
  return ExtensionSide::kOutsideTable;
}

}  // namespace byteloom
