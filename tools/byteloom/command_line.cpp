#include "byteloom/command_line.h"

#include "byteloom/convert_file.h"
#include "byteloom/exit_codes.h"
#include "byteloom/interactive_mode.h"

namespace byteloom {
namespace {

// Only a lone option counts as a request for help: with three arguments "-h" is an
// extension like any other, and one or two arguments are otherwise an error anyway.
bool IsHelpRequest(std::span<const std::string_view> arguments) {
  return arguments.size() == 1 && (arguments[0] == "-h" || arguments[0] == "--help");
}

constexpr std::string_view kUsage =
    "usage: byteloom source_extension destination_extension source_filepath\n"
    "       byteloom\n"
    "\n"
    "With three arguments, converts source_filepath, which must end with\n"
    "source_extension, and writes the result beside it with destination_extension\n"
    "in place of source_extension. Sources with the extension vxo, mmf or midi (any\n"
    "letter case) become C byte-list text (\"0x1f, 0x8b, \", eight bytes a line);\n"
    "any other source is read as such text and becomes binary.\n"
    "\n"
    "A destination extension of the source's own kind (vxo to mmf, icn to dat) is\n"
    "refused; extensions outside that list are allowed.\n"
    "\n"
    "Without arguments, asks for two extensions and writes a batch script that\n"
    "converts every such file in the current folder tree, for example vxoToicn.bat,\n"
    "and beside it an executable shell script of the same name that does the same\n"
    "on Linux and other Unix systems: vxoToicn.sh.\n";

void PrintArgumentError(std::ostream& out) {
  out << "ERROR : need 4 parameters\n";
  out << "        It should be byteloom source_extension destination_extension "
         "source_filepath\n";
}

}  // namespace

std::string_view Usage() {
  return kUsage;
}

int RunByteloom(std::span<const std::string_view> arguments, std::istream& in, std::ostream& out) {
  if (arguments.empty()) return RunInteractiveMode(in, out);
  if (IsHelpRequest(arguments)) {
    out << kUsage;
    return kExitSuccess;
  }
  if (arguments.size() < 3) {
    PrintArgumentError(out);
    return kExitWrongArguments;
  }
  if (ConvertFile(arguments[0], arguments[1], arguments[2], out) != kConvertOk) {
    out << "converting fail!\n";
    return kExitConversionFailed;
  }
  return kExitSuccess;
}

}  // namespace byteloom
