#include "byteloom/script_maker.h"

#include <string_view>

#include "byteloom/extension_table.h"

namespace byteloom {
namespace {

constexpr std::string_view kLoopVariable = "%%f";

}  // namespace

std::string MakeScriptName(int source_index, int destination_index) {
  std::string name(ExtensionTable.at(source_index));
  name += "To";
  name += ExtensionTable.at(destination_index);
  name += ".bat";
  return name;
}

std::string MakeScriptLine(int source_index, int destination_index) {
  const std::string_view source = ExtensionTable.at(source_index);
  const std::string_view destination = ExtensionTable.at(destination_index);
  std::string line = "@for /r ";
  line.append(kLoopVariable).append(" in (*.").append(source).append(") do byteloom ");
  line.append(source).append(" ").append(destination).append(" \"");
  line.append(kLoopVariable).append("\"");
  return line;
}

}  // namespace byteloom
