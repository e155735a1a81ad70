#include "file_io/atomic_output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>

// Plain system calls rather than std::filesystem: its path objects are not
// safe when an allocation fails inside them, and this class must stay sound
// when memory runs out.
namespace file_io {
namespace {

constexpr int kMaxNameAttempts = 100;
// As many links as the system itself follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a path finally names, following symbolic links even when the last one dangles, so
// that the link stays and its target is (re)created. A loop is left for the open to report.
std::string ResolveLinks(std::string path) {
  struct stat status {};
  for (int hop = 0;
       hop < kMaxLinkHops && ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
       ++hop) {
    std::string target(static_cast<size_t>(status.st_size) + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size()) break;
    target.resize(static_cast<size_t>(length));
    path = target.front() == '/' ? target : FolderOf(path) + target;
  }
  return path;
}

std::string RandomTag() {
  // One generator a thread: several threads may write files at once.
  thread_local std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string tag;
  for (std::uint64_t bits = generator(); tag.size() < 12; bits >>= 4) tag += kDigits[bits & 0xf];
  return tag;
}

}  // namespace

AtomicOutputFile::~AtomicOutputFile() {
  file_.reset();
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

int AtomicOutputFile::Open(const std::string& path) {
  target_ = ResolveLinks(path);
  struct stat status {};
  if (::stat(target_.c_str(), &status) != 0) {
    if (errno != ENOENT) return LastErrorNumber();
    return CreateTemporaryBeside(target_);
  }
  if (S_ISDIR(status.st_mode)) return EISDIR;
  // A device or a pipe (/dev/null, a fifo) cannot be replaced, only written.
  if (!S_ISREG(status.st_mode)) return OpenDirectly(target_);
  // Refuses what the plain open would refuse to write: opening for appending writes nothing
  // but fails exactly when writing is not allowed.
  const int probe = ::open(target_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (probe < 0) return LastErrorNumber();
  ::close(probe);
  targetMode_ = status.st_mode & 07777;
  return CreateTemporaryBeside(target_);
}

int AtomicOutputFile::OpenDirectly(const std::string& target) {
  file_ = OpenFile(target, "wb");
  return file_ ? 0 : LastErrorNumber();
}

int AtomicOutputFile::CreateTemporaryBeside(const std::string& target) {
  const std::string folder = FolderOf(target);
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    // Hidden, and short whatever the target's name, so that it never exceeds the limit.
    std::string candidate = folder + ".vexo-" + RandomTag() + ".tmp";
    // "x": never take over a file that someone else created meanwhile.
    file_ = OpenFile(candidate, "wbx");
    if (file_) {
      temporary_ = std::move(candidate);
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
  if (temporary_.empty()) return 0;  // written directly
  // A replaced file keeps its permissions, as it would if it had been overwritten in place.
  if (targetMode_ && ::chmod(temporary_.c_str(), *targetMode_) != 0) return LastErrorNumber();
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return LastErrorNumber();
  temporary_.clear();
  return 0;
}

}  // namespace file_io
