#include "file_list.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "file_names.h"

namespace orvane {
namespace {

FileListRow MakeRow(const DirectoryEntry& entry, const FileTypeNames& typeNames) {
  FileListRow row;
  row.name = entry.name;
  row.fullPath = entry.fullPath;
  row.isFolder = entry.isFolder;
  if (!entry.isFolder) row.sizeText = FileSizeText(entry.size);
  row.typeText = FileTypeText(entry.name, entry.isFolder,
                              typeNames.TypeNameOf(entry.fullPath, entry.isFolder));
  row.dateText = FileDateText(entry.lastWrite);
  return row;
}

}  // namespace

bool HasVexoExtension(std::string_view name) {
  return vexo::EndsWithIgnoringCase(name, ".vxo");
}

FileListing FillFileList(const std::string& folder, const DirectoryLister& lister,
                         const FileTypeNames& typeNames) {
  FileListing listing{WithTrailingSeparator(folder), {}};
  auto entries = lister.List(listing.currentFolder);
  if (!entries) return listing;
  std::sort(entries->begin(), entries->end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
    return NameLess(a.name, b.name);
  });
  for (const bool foldersPass : {true, false}) {
    for (const DirectoryEntry& entry : *entries) {
      if (entry.isFolder != foldersPass || entry.isHidden || !HasVexoExtension(entry.name)) {
        continue;
      }
      listing.rows.push_back(MakeRow(entry, typeNames));
    }
  }
  return listing;
}

std::string FileSizeText(uint64_t bytes) {
  const uint64_t kilobytes = bytes == 0 ? 0 : std::max<uint64_t>(1, bytes / 1024);
  return std::to_string(kilobytes) + "KB";
}

std::string FileTypeText(const std::string& name, bool isFolder, const std::string& platformType) {
  if (isFolder || !platformType.empty()) return platformType;
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos) return "파일";
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension + " 파일";
}

std::string FileDateText(const std::tm& local) {
  const bool afternoon = local.tm_hour > 12;
  char text[64];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %s %d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, afternoon ? "오후" : "오전",
                afternoon ? local.tm_hour - 12 : local.tm_hour, local.tm_min);
  return text;
}

std::string FileDateText(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return FileDateText(local);
}

}  // namespace orvane
