#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "file_io/file_handle.h"

namespace file_io {

// Writes a file so that it appears complete or not at all. The content goes to a hidden
// temporary file beside the target, which replaces the target only on Commit(). Until then
// an existing file of that name stays untouched, and a temporary that is never committed is
// removed. A target that is a symbolic link is written through, not replaced by a plain file,
// and a replaced file keeps its permissions. A target that exists but is no regular file (a
// device, a pipe) is written directly. The temporary has a unique name, so that several
// writers of one target never share it.
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
  int Open(const std::string& path);
  int Write(std::string_view data);
  // Flushes and closes the temporary file and moves it onto the target.
  int Commit();

 private:
  int CreateTemporaryBeside(const std::string& target);
  int OpenDirectly(const std::string& target);

  std::string target_;
  std::string temporary_;
  std::optional<unsigned> targetMode_;  // the permissions of the file replaced
  FileHandle file_;
};

}  // namespace file_io
