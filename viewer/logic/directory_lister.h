// Folder enumeration behind an interface, so that the tree and the list can
// be tested on made-up folders; FileSystemLister is the real one.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct DirectoryEntry {
  std::string name;      // without the folder
  std::string fullPath;  // folder + separator + name
  bool isFolder = false;
  bool isHidden = false;
  uint64_t size = 0;
  std::time_t lastWrite = 0;
};

class DirectoryLister {
 public:
  virtual ~DirectoryLister() = default;
  // Entries of a folder in the order the platform returns them, without "."
  // and ".."; nullopt when the folder cannot be read.
  virtual std::optional<std::vector<DirectoryEntry>> List(const std::string& folder) const = 0;
  // Whether the path names a folder that can be shown.
  virtual bool IsFolder(const std::string& path) const = 0;
  // The top-level places of the tree: the file-system roots, then the
  // user's home folder. Empty when the platform reports none.
  virtual std::vector<std::string> Roots() const = 0;
};

inline constexpr char kPathSeparator = '/';

// The lister over std::filesystem. Hidden entries are those whose names
// start with a dot.
class FileSystemLister : public DirectoryLister {
 public:
  std::optional<std::vector<DirectoryEntry>> List(const std::string& folder) const override;
  bool IsFolder(const std::string& path) const override;
  std::vector<std::string> Roots() const override;
};

// `folder` with a trailing separator added when it has none.
std::string WithTrailingSeparator(std::string folder);

// The order of names in the tree and the list: letters compared without
// regard to case, and names equal but for case by their bytes, so that the
// order never depends on the platform's enumeration.
bool NameLess(std::string_view a, std::string_view b);

}  // namespace orvane
