#include "byteloom/atomic_output_file.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

namespace byteloom {
namespace fs = std::filesystem;
namespace {

constexpr int kMaxNameAttempts = 100;

// The file a path finally names, following symbolic links; the path itself if none exists.
fs::path ResolveLinks(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::canonical(path, error);
  return error ? path : resolved;
}

// Refuses to replace what the plain file open would refuse to write: a directory, or a
// file without write permission.
int CheckReplaceable(const fs::path& target) {
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (error || !fs::exists(status)) return 0;
  if (fs::is_directory(status)) return EISDIR;
  if (!fs::is_regular_file(status)) return 0;
  // Opening for appending writes nothing but fails exactly when writing is not allowed.
  return OpenFile(target, "ab") ? 0 : LastErrorNumber();
}

std::string RandomTag() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string tag;
  for (std::uint64_t bits = generator(); tag.size() < 12; bits >>= 4) tag += kDigits[bits & 0xf];
  return tag;
}

}  // namespace

AtomicOutputFile::~AtomicOutputFile() {
  file_.reset();
  if (!temporary_.empty()) {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
  }
}

int AtomicOutputFile::Open(const fs::path& path) {
  target_ = ResolveLinks(path);
  if (const int error = CheckReplaceable(target_)) return error;
  std::error_code ignored;
  target_existed_ = fs::exists(target_, ignored);
  return CreateTemporaryBeside(target_);
}

int AtomicOutputFile::CreateTemporaryBeside(const fs::path& target) {
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    fs::path candidate = target;
    // Hidden, and short whatever the target's name, so that it never exceeds the limit.
    candidate.replace_filename(".byteloom-" + RandomTag() + ".tmp");
    // "x": never take over a file that someone else created meanwhile.
    file_ = OpenFile(candidate, "wbx");
    if (file_) {
      temporary_ = candidate;
      return 0;
    }
    if (errno != EEXIST) return LastErrorNumber();
  }
  return EEXIST;
}

int AtomicOutputFile::Write(std::string_view data) {
  if (data.empty()) return 0;
  errno = 0;
  const std::size_t written = std::fwrite(data.data(), 1, data.size(), file_.get());
  return written == data.size() ? 0 : LastErrorNumber();
}

int AtomicOutputFile::Commit() {
  errno = 0;
  if (std::fflush(file_.get()) != 0 || std::ferror(file_.get())) return LastErrorNumber();
  if (std::fclose(file_.release()) != 0) return LastErrorNumber();
  TakeOverPermissions();
  std::error_code error;
  fs::rename(temporary_, target_, error);
  if (error) return error.value();
  temporary_.clear();
  return 0;
}

// A replaced file keeps its permissions, as it would if it had been overwritten in place.
void AtomicOutputFile::TakeOverPermissions() {
  if (!target_existed_) return;
  std::error_code ignored;
  const fs::perms permissions = fs::status(target_, ignored).permissions();
  if (!ignored) fs::permissions(temporary_, permissions, ignored);
}

}  // namespace byteloom
