#include "byteloom/script_maker.h"

#include <string_view>

#include "byteloom/extension_table.h"

namespace byteloom {
namespace {

constexpr std::string_view kLoopVariable = "%%f";

std::string ScriptBaseName(int source_index, int destination_index) {
  std::string name(ExtensionTable.at(source_index));
  name += "To";
  name += ExtensionTable.at(destination_index);
  return name;
}

}  // namespace

std::string MakeScriptName(int source_index, int destination_index) {
  return ScriptBaseName(source_index, destination_index) + ".bat";
}

std::string MakeShellScriptName(int source_index, int destination_index) {
  return ScriptBaseName(source_index, destination_index) + ".sh";
}

std::string MakeShellScript(int source_index, int destination_index) {
  const std::string source(ExtensionTable.at(source_index));
  const std::string destination(ExtensionTable.at(destination_index));
  return "#!/bin/sh\n"
         "# Converts every ." +
         source + " file in this folder tree to ." + destination + " with byteloom, as " +
         MakeScriptName(source_index, destination_index) +
         " does.\n"
         "exec find . -type f -iname '*." +
         source + "' -exec byteloom " + source + " " + destination + " {} \\;\n";
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
