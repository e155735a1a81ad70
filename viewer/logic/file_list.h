// The file list's contents: which entries of a folder are listed, in which
// order, and the texts of their four columns.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "directory_lister.h"
#include "viewer_services.h"

namespace orvane {

inline constexpr std::array<std::string_view, 4> kFileListColumnHeaders = {"이름", "크기", "종류",
                                                                           "수정한 날짜"};

struct FileListRow {
  std::string name;      // column 0
  std::string sizeText;  // column 1, empty for folders
  std::string typeText;  // column 2
  std::string dateText;  // column 3
  std::string fullPath;
  bool isFolder = false;
};

struct FileListing {
  std::string currentFolder;  // always ends in the separator
  std::vector<FileListRow> rows;
};

// The folders, then the files, of `folder` whose names match "*.vxo" without
// regard to case, hidden entries left out, each in name order (NameLess).
// A folder that cannot be read gives an empty list.
FileListing FillFileList(const std::string& folder, const DirectoryLister& lister,
                         const FileTypeNames& typeNames);

// "%dKB": 0 bytes give 0KB, 1 to 1023 give 1KB, more the whole kilobytes.
std::string FileSizeText(uint64_t bytes);

// The platform's type name, or for a file without one: its extension in
// capitals followed by " 파일", or "파일" when the name has no dot.
std::string FileTypeText(const std::string& name, bool isFolder, const std::string& platformType);

// "%d-%02d-%02d %s %d:%02d" of a local time, with "오전" for hours 0 to 12 and
// "오후" (hour minus 12) for 13 to 23.
std::string FileDateText(const std::tm& local);
std::string FileDateText(std::time_t time);

// Whether a name ends in ".vxo", in any case.
bool HasVexoExtension(std::string_view name);

}  // namespace orvane
