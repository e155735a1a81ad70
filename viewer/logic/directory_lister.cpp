#include "directory_lister.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace orvane {
namespace fs = std::filesystem;
namespace {

std::time_t ToTimeT(fs::file_time_type time) {
  return std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(time));
}

// One entry; symbolic links are followed, and a broken link is a plain file.
DirectoryEntry MakeEntry(const fs::directory_entry& found) {
  DirectoryEntry entry;
  entry.name = found.path().filename().string();
  entry.fullPath = found.path().string();
  entry.isHidden = !entry.name.empty() && entry.name.front() == '.';
  std::error_code error;
  entry.isFolder = found.is_directory(error);
  if (!entry.isFolder) {
    const auto size = found.file_size(error);
    entry.size = error ? 0 : size;
  }
  const auto written = found.last_write_time(error);
  if (!error) entry.lastWrite = ToTimeT(written);
  return entry;
}

}  // namespace

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
  return folder;
}

bool NameLess(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (lower(a[i]) != lower(b[i])) return lower(a[i]) < lower(b[i]);
  }
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::optional<std::vector<DirectoryEntry>> FileSystemLister::List(const std::string& folder) const {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    entries.push_back(MakeEntry(*it));
  }
  if (error) return std::nullopt;
  return entries;
}

bool FileSystemLister::IsFolder(const std::string& path) const {
  std::error_code error;
  return fs::is_directory(path, error);
}

std::vector<std::string> FileSystemLister::Roots() const {
  std::vector<std::string> roots = {"/"};
  const char* home = std::getenv("HOME");
  if (home && *home && IsFolder(home) && fs::path(home) != fs::path("/")) {
    std::string folder = fs::path(home).lexically_normal().string();
    if (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
    roots.push_back(folder);
  }
  return roots;
}

}  // namespace orvane
