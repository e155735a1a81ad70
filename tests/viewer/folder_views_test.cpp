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

TEST_F(FolderViewsTest, TheListShowsMatchingFoldersThenFilesByNameAndSkipsHiddenOnes) {
  for (const char* name : {"b.VXO", "C.vxo", "a.vxo", "c.txt", ".d.vxo"}) Write(name, {1, 2, 3});
  for (const char* name : {"e.vxo", "D.vxo"}) MakeFolder(name);
  const FileListing listing = FillFileList(folder_.string(), lister_, typeNames_);
  EXPECT_EQ(listing.currentFolder, folder_.string() + "/");
  std::vector<std::string> names;
  for (const FileListRow& row : listing.rows) names.push_back(row.name);
  EXPECT_EQ(names, (std::vector<std::string>{"D.vxo", "e.vxo", "a.vxo", "b.VXO", "C.vxo"}));
  EXPECT_EQ(listing.rows[0].sizeText, "");
  EXPECT_EQ(listing.rows[0].typeText, "Folder");
  EXPECT_EQ(listing.rows[2].sizeText, "1KB");
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

struct PlacementCase {
  const char* what;
  int32_t pane, picture, scroll;
  int32_t origin, usedScroll, range;
};

// One axis at a time: the other fits in every case and stays centred.
const PlacementCase kPlacements[] = {
    {"fits: centred, no scrolling", 380, 176, 50, 102, 0, 0},
    {"fits exactly", 176, 176, 5, 0, 0, 0},
    {"larger: scrolled", 380, 1000, 120, -120, 120, 620},
    {"larger: at most to its far edge", 380, 1000, 900, -620, 620, 620},
    {"larger: never before its near edge", 380, 1000, -4, 0, 0, 620},
};

TEST(PicturePlacementTest, APictureThatFitsIsCentredOneThatDoesNotIsScrolledWithinItsRange) {
  for (const PlacementCase& c : kPlacements) {
    SCOPED_TRACE(c.what);
    const PicturePlacement across = PlacePicture(c.pane, 400, c.picture, 144, {c.scroll, 9});
    EXPECT_EQ(across, (PicturePlacement{{c.origin, 128}, {c.usedScroll, 0}, {c.range, 0}}));
    const PicturePlacement down = PlacePicture(400, c.pane, 144, c.picture, {9, c.scroll});
    EXPECT_EQ(down, (PicturePlacement{{128, c.origin}, {0, c.usedScroll}, {0, c.range}}));
  }
}

TEST(PicturePlacementTest, TheDisplayKeepsItsScrollAsFarAsEachNewSizeAllows) {
  DisplayState display;
  display.Resize(380, 400);
  EXPECT_TRUE(display.ShowsPlaceholder());
  EXPECT_EQ(display.Position(), (PicturePosition{102, 128}));
  display.SetImageSize(1000, 800);
  display.ScrollTo({500, 300});
  EXPECT_EQ(display.Position(), (PicturePosition{-500, -300}));
  display.Resize(700, 400);  // less to pan across
  EXPECT_EQ(display.Placement().scroll, (PicturePosition{300, 300}));
  display.SetImageSize(2, 1);
  display.SetImage(std::vector<uint8_t>(12, 7));  // larger than the picture's 8 bytes
  EXPECT_FALSE(display.ShowsPlaceholder());
  EXPECT_EQ(display.PixelCopy().size(), 8u);
  EXPECT_EQ(display.Placement(), (PicturePlacement{{349, 199}, {0, 0}, {0, 0}}));
}

}  // namespace
}  // namespace orvane
