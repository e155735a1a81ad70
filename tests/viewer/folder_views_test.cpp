// What the folder tree and the file list show of folders on disk, and where
// the display pane places a picture.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "file_list.h"
#include "folder_tree.h"
#include "picture_placement.h"
#include "temp_folder_test.h"

namespace orvane {
namespace {

class NoTypeNames : public FileTypeNames {
 public:
  std::string TypeNameOf(const std::string&, bool isFolder) const override {
    return isFolder ? "Folder" : "";
  }
};

class FolderViewsTest : public vexo::testing::TempFolderTest {
 protected:
  void MakeFolder(const std::string& name) { std::filesystem::create_directories(folder_ / name); }
  std::vector<std::string> TextsOf(const TreeItem& item) const {
    std::vector<std::string> texts;
    for (const auto& child : item.children) texts.push_back(child->text);
    return texts;
  }

  FileSystemLister lister_;
  NoTypeNames typeNames_;
};

TEST_F(FolderViewsTest, TheListShowsMatchingFoldersFirstThenFilesAndSkipsHiddenOnes) {
  for (const char* name : {"a.vxo", "b.VXO", "c.txt", ".d.vxo"}) Write(name, {1, 2, 3});
  MakeFolder("e.vxo");
  const FileListing listing = FillFileList(folder_.string(), lister_, typeNames_);
  EXPECT_EQ(listing.currentFolder, folder_.string() + "/");
  std::vector<std::string> names;
  for (const FileListRow& row : listing.rows) names.push_back(row.name);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "e.vxo");
  EXPECT_EQ(listing.rows[0].sizeText, "");
  EXPECT_EQ(listing.rows[0].typeText, "Folder");
  std::sort(names.begin() + 1, names.end());  // files keep the platform's order
  EXPECT_EQ(names, (std::vector<std::string>{"e.vxo", "a.vxo", "b.VXO"}));
  EXPECT_EQ(listing.rows[1].sizeText, "1KB");
  EXPECT_EQ(FileTypeText("b.VXO", false, ""), "VXO 파일");
}

TEST(FileListTextTest, SizesAndDatesAtTheirBoundaries) {
  for (const auto& [bytes, text] :
       {std::pair<uint64_t, std::string>{0, "0KB"}, {1, "1KB"}, {2047, "1KB"}, {2048, "2KB"}}) {
    EXPECT_EQ(FileSizeText(bytes), text) << bytes;
  }
  for (const auto& [hour, text] : {std::pair<int, std::string>{0, "2024-03-07 오전 0:05"},
                                   {12, "2024-03-07 오전 12:05"},
                                   {13, "2024-03-07 오후 1:05"}}) {
    std::tm local{};
    local.tm_year = 124;
    local.tm_mon = 2;
    local.tm_mday = 7;
    local.tm_hour = hour;
    local.tm_min = 5;
    EXPECT_EQ(FileDateText(local), text);
  }
}

TEST_F(FolderViewsTest, TheTreeSortsWithoutCaseAndReReadsAtEveryExpansion) {
  for (const char* name : {"Beta", "alpha", "Gamma/inner", ".hidden"}) MakeFolder(name);
  FolderTree tree(lister_);
  ASSERT_EQ(tree.InitTree(folder_.string()), 1);
  TreeItem& root = *tree.TopLevelItems().at(0);
  EXPECT_EQ(root.text, folder_.string());
  EXPECT_EQ(TextsOf(root), (std::vector<std::string>{".hidden", "alpha", "Beta", "Gamma"}));
  TreeItem& gamma = *root.children[3];
  EXPECT_TRUE(gamma.HasOnlyPlaceholder());
  EXPECT_TRUE(root.children[1]->children.empty());  // alpha has no subfolders
  EXPECT_EQ(tree.FullPathOfItem(&gamma), (folder_ / "Gamma").string());

  tree.OnFolderExpanded(&gamma, true);
  EXPECT_EQ(TextsOf(gamma), (std::vector<std::string>{"inner"}));
  tree.OnFolderExpanded(&gamma, false);
  EXPECT_TRUE(gamma.HasOnlyPlaceholder());
  MakeFolder("Gamma/new");
  tree.OnFolderExpanded(&gamma, true);
  EXPECT_EQ(TextsOf(gamma), (std::vector<std::string>{"inner", "new"}));
}

// The root's children join it with one slash; a folder that is gone says why.
TEST(FolderTreeRootsTest, TheFileSystemRootIsItsOwnPathAndAGoneFolderIsNotInserted) {
  FileSystemLister lister;
  FolderTree tree(lister);
  ASSERT_EQ(tree.InitTree(""), 1);
  TreeItem& root = *tree.TopLevelItems().at(0);
  EXPECT_EQ(tree.FullPathOfItem(&root), "/");
  TreeItem child{"etc", false, &root, {}};
  EXPECT_EQ(tree.FullPathOfItem(&child), "/etc");
  FolderTree gone(lister);
  EXPECT_EQ(gone.InitTree("/no/such/folder"), 0);
  EXPECT_EQ(gone.lastError, "Error Gettting SystemFileInfo!");
}

TEST(PicturePlacementTest, TheDisplayShowsThePlaceholderThenReCentresItsPicture) {
  DisplayState display;
  display.Resize(380, 400);
  EXPECT_TRUE(display.ShowsPlaceholder());
  EXPECT_EQ(display.Position(), (PicturePosition{102, 128}));
  display.SetImageSize(2, 1);
  display.SetImage(std::vector<uint8_t>(12, 7));  // larger than the picture's 8 bytes
  EXPECT_FALSE(display.ShowsPlaceholder());
  EXPECT_EQ(display.PixelCopy().size(), 8u);
  display.Resize(10, 11);
  EXPECT_EQ(display.Position(), (PicturePosition{4, 5}));
  // What does not fit is anchored at the edge it overflows.
  EXPECT_EQ(PlacePicture(380, 100, 176, 144), (PicturePosition{102, 0}));
}

}  // namespace
}  // namespace orvane
