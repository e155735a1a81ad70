// The files a batch converts and where each output goes: named files as
// they are, folders searched recursively, outputs beside their inputs or in
// a mirrored tree under one folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo::cli {

struct BatchJob {
  std::string input;
  std::string output;
};

// How a command names its files.
struct BatchNaming {
  // Whether a folder search takes a file of this name ("cat.VXO").
  std::function<bool(std::string_view fileName)> wanted;
  // The output beside an input path ("pics/cat.vxo" to "pics/cat1.png").
  std::function<std::string(const std::string& inputPath)> beside;
  // The output's file name in a mirrored tree ("cat.vxo" to "cat.png").
  std::function<std::string(const std::string& fileName)> mirrored;
  // What a folder without a wanted file lacks: "no VEXO file (*.vxo)".
  std::string nothingWanted;
};

struct BatchPlan {
  std::vector<BatchJob> jobs;         // in the order of the inputs, folders sorted by name
  std::vector<std::string> failures;  // inputs that cannot be converted, each with the reason
};

// Plans the conversion of `inputs`. With an `outputFolder`, a named file's
// output goes directly under it and a folder's files keep their place
// relative to that folder. Hidden entries are skipped and symbolic links to
// folders inside a search are not followed, so that a link loop cannot make
// it endless. A folder without a wanted file is a failure of its own, named
// as the user named it; two inputs that would write one output are failures
// of the later input, unless they are one file named twice.
BatchPlan PlanBatch(const std::vector<std::string>& inputs, const std::string& outputFolder,
                    const BatchNaming& naming);

// Whether two command-line names are one input and its output rather than
// two inputs: the first must not be a folder, and the second must look like
// an output ("-" or an output's extension). So "a.vxo a.vxo" names one input
// twice, which is converted once.
bool IsInputAndOutput(const std::vector<std::string>& names,
                      const std::function<bool(const std::string&)>& looksLikeOutput);

}  // namespace vexo::cli
