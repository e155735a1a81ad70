#pragma once

#include <filesystem>
#include <string_view>

#include "byteloom/file_handle.h"

namespace byteloom {

// Writes a file so that it appears complete or not at all. The content goes to a hidden
// temporary file beside the target, which replaces the target only on Commit(). Until then
// an existing file of that name stays untouched, and a temporary that is never committed is
// removed. A target that is a symbolic link is written through, not replaced by a plain file.
//
// Every operation returns 0 on success or the error number (errno) of the step that failed.
class AtomicOutputFile {
 public:
  AtomicOutputFile() = default;
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;
  ~AtomicOutputFile();

  // Checks that `path` may be replaced and creates the temporary file for it. Write() and
  // Commit() need a successful Open().
  int Open(const std::filesystem::path& path);
  int Write(std::string_view data);
  // Flushes and closes the temporary file and moves it onto the target.
  int Commit();

 private:
  int CreateTemporaryBeside(const std::filesystem::path& target);
  void TakeOverPermissions();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  bool target_existed_ = false;
  FileHandle file_;
};

}  // namespace byteloom
