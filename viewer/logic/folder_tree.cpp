#include "folder_tree.h"

#include <algorithm>

namespace orvane {
namespace {

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
  return path;
}

// The item text of a folder: the whole path at the top level, else its name.
std::string ItemText(const std::string& path, bool topLevel) {
  const std::string trimmed = WithoutTrailingSeparators(path);
  if (topLevel) return trimmed;
  const auto slash = trimmed.find_last_of(kPathSeparator);
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

}  // namespace

void SortPaths(std::vector<std::string>& paths) {
  std::sort(paths.begin(), paths.end(), NameLess);
}

void AddPlaceholderChild(TreeItem* item) {
  auto placeholder = std::make_unique<TreeItem>();
  placeholder->placeholder = true;
  placeholder->parent = item;
  item->children.push_back(std::move(placeholder));
}

int FolderTree::InitTree(const std::string& rootPath, bool showFiles) {
  roots_.clear();
  showFiles_ = showFiles;
  if (rootPath.empty()) {
    if (!ListDrives()) return 0;
    rootPath_.clear();
    return 1;
  }
  rootPath_ = WithTrailingSeparator(rootPath);
  TreeItem* root = InsertFolderItem(nullptr, rootPath_);
  if (!root) return 0;
  AddChildren(root, rootPath_);
  return 1;
}

int FolderTree::ListDrives() {
  roots_.clear();
  const std::vector<std::string> drives = lister_.Roots();
  if (drives.empty()) {
    lastError = "Error Getting Logical DriveStrings!";
    return 0;
  }
  for (const std::string& drive : drives) {
    TreeItem* item = InsertFolderItem(nullptr, drive);
    if (item && HasSubfolders(drive)) AddPlaceholderChild(item);
  }
  return 1;
}

TreeItem* FolderTree::InsertFolderItem(TreeItem* parent, const std::string& path) {
  if (!lister_.IsFolder(path)) {
    lastError = "Error Gettting SystemFileInfo!";
    return nullptr;
  }
  auto item = std::make_unique<TreeItem>();
  item->text = ItemText(path, parent == nullptr);
  item->parent = parent;
  auto& siblings = parent ? parent->children : roots_;
  siblings.push_back(std::move(item));
  return siblings.back().get();
}

bool FolderTree::HasSubfolders(const std::string& path) const {
  const auto entries = lister_.List(path);
  if (!entries) return false;
  return std::any_of(entries->begin(), entries->end(), [this](const DirectoryEntry& entry) {
    return entry.isFolder || (showFiles_ && !entry.isHidden);
  });
}

void FolderTree::AddChildren(TreeItem* parent, const std::string& folderPath) {
  const auto entries = lister_.List(folderPath);
  if (!entries) return;
  std::vector<std::string> folders;
  std::vector<std::string> files;
  for (const DirectoryEntry& entry : *entries) {
    if (entry.isFolder) {
      folders.push_back(entry.fullPath);
    } else if (showFiles_) {
      files.push_back(entry.fullPath);
    }
  }
  SortPaths(folders);
  for (const std::string& folder : folders) {
    TreeItem* item = InsertFolderItem(parent, folder);
    if (item && HasSubfolders(folder)) AddPlaceholderChild(item);
  }
  SortPaths(files);
  for (const std::string& file : files) {
    auto item = std::make_unique<TreeItem>();
    item->text = ItemText(file, false);
    item->parent = parent;
    parent->children.push_back(std::move(item));
  }
}

std::string FolderTree::FullPathOfItem(const TreeItem* item) const {
  std::string path;
  for (; item; item = item->parent) {
    std::string text = item->text;
    if (text.empty() || text.back() != kPathSeparator) text.push_back(kPathSeparator);
    path.insert(0, text);
  }
  return WithoutTrailingSeparators(path);
}

std::optional<TreeRoute> FolderTree::RouteTo(const std::string& folder) const {
  const std::string target = WithoutTrailingSeparators(folder);
  std::optional<TreeRoute> best;
  size_t bestLength = 0;
  for (const auto& top : roots_) {
    const std::string base = WithoutTrailingSeparators(top->text);
    const bool holds = target == base || (target.starts_with(WithTrailingSeparator(base)));
    if (!holds || (best && base.size() <= bestLength)) continue;
    best = TreeRoute{top.get(), {}};
    bestLength = base.size();
  }
  if (!best) return std::nullopt;
  std::string rest = target.substr(std::min(target.size(), bestLength));
  size_t start = 0;
  while (start < rest.size()) {
    const size_t end = std::min(rest.find(kPathSeparator, start), rest.size());
    if (end > start) best->names.push_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return best;
}

const TreeItem* ChildNamed(const TreeItem& item, const std::string& name) {
  for (const auto& child : item.children) {
    if (!child->placeholder && child->text == name) return child.get();
  }
  return nullptr;
}

int FolderTree::OnFolderExpanded(TreeItem* item, bool expanded) {
  item->children.clear();
  if (expanded) {
    AddChildren(item, FullPathOfItem(item));
  } else {
    AddPlaceholderChild(item);
  }
  return 0;
}

}  // namespace orvane
