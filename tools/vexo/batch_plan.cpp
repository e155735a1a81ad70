#include "batch_plan.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "file_io/same_file.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

// A folder by device and inode, so that one reached again through a link is
// recognised.
using FolderIdentity = std::pair<dev_t, ino_t>;

bool IsHidden(const fs::path& name) {
  const std::string text = name.string();
  return !text.empty() && text.front() == '.';
}

class FolderSearch {
 public:
  FolderSearch(const BatchNaming& naming, std::vector<std::string>& failures)
      : naming_(naming), failures_(failures) {}

  // The wanted files under `root`, relative to it, sorted by path.
  std::vector<fs::path> FilesUnder(const fs::path& root) {
    std::vector<fs::path> found;
    Search(root, {}, found);
    return found;
  }

 private:
  // False when the folder was searched already: a link loop or a second way in.
  bool FirstVisit(const fs::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) return true;
    return visited_.insert({status.st_dev, status.st_ino}).second;
  }

  std::vector<fs::directory_entry> SortedEntries(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      entries.push_back(*it);
    }
    if (error) failures_.push_back("Cannot read " + folder.string() + ": " + error.message());
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  void Search(const fs::path& root, const fs::path& relative, std::vector<fs::path>& found) {
    if (!FirstVisit(root / relative)) return;
    for (const fs::directory_entry& entry : SortedEntries(root / relative)) {
      const fs::path name = entry.path().filename();
      if (IsHidden(name)) continue;
      std::error_code error;  // an entry that vanished or cannot be examined is passed over
      if (entry.is_directory(error)) {
        Search(root, relative / name, found);
      } else if (entry.is_regular_file(error) && naming_.wanted(name.string())) {
        found.push_back(relative / name);
      }
    }
  }

  const BatchNaming& naming_;
  std::vector<std::string>& failures_;
  std::set<FolderIdentity> visited_;
};

// Refuses a job whose output another job writes already; an input named
// again is converted once.
class JobList {
 public:
  explicit JobList(BatchPlan& plan) : plan_(plan) {}

  void Add(const std::string& input, const std::string& output) {
    std::error_code error;
    const std::string key = fs::weakly_canonical(fs::absolute(output), error).string();
    const auto [earlier, isNew] = outputs_.try_emplace(error ? output : key, input);
    if (!isNew && file_io::NamesSameFile(earlier->second, input)) return;
    if (!isNew) {
      plan_.failures.push_back(input + ": not converted; " + output + " is the output of " +
                               earlier->second);
      return;
    }
    plan_.jobs.push_back({input, output});
  }

 private:
  BatchPlan& plan_;
  std::map<std::string, std::string> outputs_;
};

}  // namespace

BatchPlan PlanBatch(const std::vector<std::string>& inputs, const std::string& outputFolder,
                    const BatchNaming& naming) {
  BatchPlan plan;
  JobList jobs(plan);
  FolderSearch search(naming, plan.failures);
  for (const std::string& input : inputs) {
    std::error_code error;
    if (!fs::is_directory(input, error)) {
      const fs::path name = fs::path(input).filename();
      jobs.Add(input, outputFolder.empty()
                          ? naming.beside(input)
                          : (fs::path(outputFolder) / naming.mirrored(name.string())).string());
      continue;
    }
    const std::vector<fs::path> found = search.FilesUnder(input);
    if (found.empty())
      plan.failures.push_back(input + ": " + naming.nothingWanted + " in this folder");
    for (const fs::path& relative : found) {
      const fs::path path = input / relative;
      const fs::path mirrored = fs::path(outputFolder) / relative.parent_path() /
                                naming.mirrored(relative.filename().string());
      jobs.Add(path.string(),
               outputFolder.empty() ? naming.beside(path.string()) : mirrored.string());
    }
  }
  return plan;
}

bool IsInputAndOutput(const std::vector<std::string>& names,
                      const std::function<bool(const std::string&)>& looksLikeOutput) {
  std::error_code error;
  return names.size() == 2 && !fs::is_directory(names[0], error) && looksLikeOutput(names[1]);
}

}  // namespace vexo::cli
