// The folder tree's rules: the roots, a placeholder child under every folder
// that has subfolders, children read from disk at every expansion and dropped
// at every collapse, folders sorted without regard to case. The tree is a
// plain structure of items that the window mirrors.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directory_lister.h"

namespace orvane {

struct TreeItem {
  std::string text;  // the whole path for a top-level item, else the folder name
  bool placeholder = false;
  TreeItem* parent = nullptr;
  std::vector<std::unique_ptr<TreeItem>> children;

  bool HasOnlyPlaceholder() const { return children.size() == 1 && children[0]->placeholder; }
};

// The way from a top-level item down to a folder: the names to open in turn.
struct TreeRoute {
  const TreeItem* topLevel = nullptr;
  std::vector<std::string> names;
};

class FolderTree {
 public:
  explicit FolderTree(const DirectoryLister& lister) : lister_(lister) {}

  // Shows the roots when rootPath is empty, else that folder and its children.
  // Returns 1, or 0 with lastError set.
  int InitTree(const std::string& rootPath, bool showFiles = false);
  int ListDrives();
  void AddChildren(TreeItem* parent, const std::string& folderPath);
  // Inserts the folder last under parent (nullptr: at the top level).
  TreeItem* InsertFolderItem(TreeItem* parent, const std::string& path);
  bool HasSubfolders(const std::string& path) const;
  // The folder's path, rebuilt from the item texts, without a trailing
  // separator except for the file-system root itself ("/").
  std::string FullPathOfItem(const TreeItem* item) const;
  // After an item expanded (re-read its children) or collapsed (keep only a
  // placeholder). Returns 0.
  int OnFolderExpanded(TreeItem* item, bool expanded);

  // The route to an absolute folder path through the top-level item that
  // holds it most closely (the home folder before "/"); nullopt when none does.
  std::optional<TreeRoute> RouteTo(const std::string& folder) const;

  const std::vector<std::unique_ptr<TreeItem>>& TopLevelItems() const { return roots_; }
  const std::string& RootPath() const { return rootPath_; }
  std::string lastError;

 private:
  const DirectoryLister& lister_;
  std::vector<std::unique_ptr<TreeItem>> roots_;
  std::string rootPath_;
  bool showFiles_ = false;
};

// Orders paths by NameLess, in place. Paths of one folder share their
// prefix, so this orders them by name.
void SortPaths(std::vector<std::string>& paths);

// The child of that name, or nullptr.
const TreeItem* ChildNamed(const TreeItem& item, const std::string& name);

// Adds a child with empty text, so that the window draws an expand button.
void AddPlaceholderChild(TreeItem* item);

}  // namespace orvane
