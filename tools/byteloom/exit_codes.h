#pragma once

namespace byteloom {

// The program's exit codes. On systems with 8-bit exit statuses the negative ones arrive as
// 255 down to 252.
enum ExitCode : int {
  kExitSuccess = 0,           // done, or the user chose quit
  kExitNoMemory = -1,         // interactive mode: "malloc error!"
  kExitScriptFailed = -2,     // interactive mode: the script file cannot be written
  kExitWrongArguments = -3,   // command-line mode: one or two arguments
  kExitConversionFailed = -4  // command-line mode: the conversion failed
};

}  // namespace byteloom
