#pragma once

#include <string>

namespace byteloom {

// The batch script's file name for a pair of ExtensionTable indices: "%sTo%s.bat", for
// example "vxoToicn.bat".
std::string MakeScriptName(int source_index, int destination_index);

// The script's single line (no line end): a "for /r" loop over every file with the source
// extension in the current folder tree, running byteloom on each. "%%f" is the batch
// script's own spelling of its loop variable and is written as it stands.
std::string MakeScriptLine(int source_index, int destination_index);

}  // namespace byteloom
