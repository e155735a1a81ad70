#pragma once

#include <string>

namespace byteloom {

// The batch script's file name for a pair of ExtensionTable indices: "%sTo%s.bat", for
// example "vxoToicn.bat".
std::string MakeScriptName(int sourceIndex, int destinationIndex);

// The script's single line (no line end): a "for /r" loop over every file with the source
// extension in the current folder tree, running byteloom on each. "%%f" is the batch
// script's own spelling of its loop variable and is written as it stands.
std::string MakeScriptLine(int sourceIndex, int destinationIndex);

// The shell script written beside the batch script for systems that cannot run it: the same
// base name with ".sh", for example "vxoToicn.sh".
std::string MakeShellScriptName(int sourceIndex, int destinationIndex);

// Its text: a find over every file with the source extension (any letter case, as the batch
// loop matches) in the current folder tree, running byteloom on each.
std::string MakeShellScript(int sourceIndex, int destinationIndex);

}  // namespace byteloom
