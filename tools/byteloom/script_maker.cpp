#include "byteloom/script_maker.h"

#include <string_view>

#include "byteloom/extension_table.h"

namespace byteloom {
namespace {

constexpr std::string_view kLoopVariable = "%%f";

std::string ScriptBaseName(int sourceIndex, int destinationIndex) {
  std::string name(ExtensionTable.at(sourceIndex));
  name += "To";
  name += ExtensionTable.at(destinationIndex);
  return name;
}

}  // namespace

std::string MakeScriptName(int sourceIndex, int destinationIndex) {
  return ScriptBaseName(sourceIndex, destinationIndex) + ".bat";
}

std::string MakeShellScriptName(int sourceIndex, int destinationIndex) {
  return ScriptBaseName(sourceIndex, destinationIndex) + ".sh";
}

std::string MakeShellScript(int sourceIndex, int destinationIndex) {
  const std::string source(ExtensionTable.at(sourceIndex));
  const std::string destination(ExtensionTable.at(destinationIndex));
  return "#!/bin/sh\n"
         "# Converts every ." +
         source + " file in this folder tree to ." + destination + " with byteloom, as " +
         MakeScriptName(sourceIndex, destinationIndex) +
         " does.\n"
         "exec find . -type f -iname '*." +
         source + "' -exec byteloom " + source + " " + destination + " {} \\;\n";
}

std::string MakeScriptLine(int sourceIndex, int destinationIndex) {
  const std::string_view source = ExtensionTable.at(sourceIndex);
  const std::string_view destination = ExtensionTable.at(destinationIndex);
  std::string line = "@for /r ";
  line.append(kLoopVariable).append(" in (*.").append(source).append(") do byteloom ");
  line.append(source).append(" ").append(destination).append(" \"");
  line.append(kLoopVariable).append("\"");
  return line;
}

}  // namespace byteloom
