// Runs one conversion per file on several threads, with a progress line on a
// terminal, each failure reported as it happens, and a summary at the end.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "batch_plan.h"

namespace vexo::cli {

// Converts one file: returns the exit code (0 success), writes what it made
// to `out` and its messages, each naming the file, to `err`. Called on
// several threads at once, so it must share nothing writable with other
// calls; each file's lines come out together.
using ConvertOneFile =
    std::function<int(const BatchJob& job, std::ostream& out, std::ostream& err)>;

struct BatchSettings {
  unsigned threads = 1;
  bool showProgress = false;  // a progress line on `err`, for a terminal
  std::string command;        // "decode", which starts the summary
  std::string outputFolder;   // created before the first file, when not empty
};

// Runs `convert` on every job of `plan` after reporting the plan's failures
// (with no job, they are all it says), then prints the summary to `out`.
// Returns 0 when every file was converted, else 1.
int RunBatch(const BatchPlan& plan, const BatchSettings& settings, const ConvertOneFile& convert,
             std::ostream& out, std::ostream& err);

// Creates the folder an output goes into, and those above it, as needed.
// Returns false after writing the reason to `err`.
bool CreateOutputFolder(const std::string& output, std::ostream& err);

// Every processor core, or 1 when the system does not tell.
unsigned DefaultThreadCount();

}  // namespace vexo::cli
