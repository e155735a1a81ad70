#include "batch_run.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <iomanip>
#include <mutex>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>

namespace vexo::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kProgressInterval = std::chrono::milliseconds(200);
// Returns to the start of the terminal line and clears it.
constexpr const char* kClearLine = "\r\x1b[K";

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Files(size_t count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

double FilesPerSecond(size_t files, double seconds) {
  return seconds > 0 ? static_cast<double>(files) / seconds : 0.0;
}

// What the workers share: the next job, the counts, and the output and
// error streams, which one thread at a time writes whole lines to.
class BatchState {
 public:
  BatchState(const BatchPlan& plan, const ConvertOneFile& convert, std::ostream& out,
             std::ostream& err)
      : jobs_(plan.jobs), convert_(convert), out_(out), err_(err) {}

  void Work() {
    for (size_t index = next_++; index < jobs_.size(); index = next_++) {
      std::ostringstream lines, messages;
      const bool ok = Convert(jobs_[index], lines, messages) == 0;
      Record(ok, lines.str(), messages.str());
    }
  }

  // Shows the progress line until every job is done, then clears it.
  void ShowProgressUntilDone(Clock::time_point start) {
    std::unique_lock lock(mutex_);
    while (!allDone_.wait_for(lock, kProgressInterval, [&] { return done_ == jobs_.size(); })) {
      err_ << kClearLine << done_ << "/" << Files(jobs_.size()) << ", " << std::fixed
           << std::setprecision(1) << FilesPerSecond(done_, SecondsSince(start)) << " files/s"
           << std::flush;
      showingProgress_ = true;
    }
    if (showingProgress_) err_ << kClearLine << std::flush;
  }

  size_t Failed() const { return failed_; }

 private:
  int Convert(const BatchJob& job, std::ostream& lines, std::ostream& messages) {
    try {
      return convert_(job, lines, messages);
    } catch (const std::exception& error) {  // a thread must not end the program
      messages << job.input << ": " << error.what() << "\n";
      return 1;
    }
  }

  void Record(bool ok, const std::string& lines, const std::string& messages) {
    std::lock_guard lock(mutex_);
    if (showingProgress_ && !(lines.empty() && messages.empty())) err_ << kClearLine << std::flush;
    if (!lines.empty()) out_ << lines << std::flush;
    if (!messages.empty()) err_ << messages << std::flush;
    ++done_;
    if (!ok) ++failed_;
    if (done_ == jobs_.size()) allDone_.notify_one();
  }

  const std::vector<BatchJob>& jobs_;
  const ConvertOneFile& convert_;
  std::ostream& out_;
  std::ostream& err_;
  std::atomic<size_t> next_ = 0;
  std::mutex mutex_;
  std::condition_variable allDone_;
  size_t done_ = 0;
  size_t failed_ = 0;
  bool showingProgress_ = false;
};

// Runs the workers; when the system gives no thread at all, this thread works alone.
void RunWorkers(BatchState& state, const BatchSettings& settings, size_t jobCount,
                Clock::time_point start) {
  std::vector<std::thread> workers;
  const size_t count = std::min<size_t>(std::max(settings.threads, 1u), jobCount);
  try {
    while (workers.size() < count) workers.emplace_back([&state] { state.Work(); });
  } catch (const std::system_error&) {
    if (workers.empty()) state.Work();
  }
  if (settings.showProgress) state.ShowProgressUntilDone(start);
  for (std::thread& worker : workers) worker.join();
}

}  // namespace

int RunBatch(const BatchPlan& plan, const BatchSettings& settings, const ConvertOneFile& convert,
             std::ostream& out, std::ostream& err) {
  for (const std::string& failure : plan.failures) err << failure << "\n";
  if (plan.jobs.empty()) return 1;  // a plan without jobs has failures, already said
  if (!settings.outputFolder.empty() && !CreateOutputFolder(settings.outputFolder + "/", err)) {
    return 1;
  }
  const Clock::time_point start = Clock::now();
  BatchState state(plan, convert, out, err);
  RunWorkers(state, settings, plan.jobs.size(), start);
  const double seconds = SecondsSince(start);
  const size_t failed = state.Failed() + plan.failures.size();
  out << settings.command << ": " << Files(plan.jobs.size() - state.Failed()) << " done, " << failed
      << " failed, " << std::fixed << std::setprecision(2) << seconds << " s ("
      << std::setprecision(1) << FilesPerSecond(plan.jobs.size(), seconds) << " files/s)\n";
  return failed == 0 ? 0 : 1;
}

bool CreateOutputFolder(const std::string& output, std::ostream& err) {
  const std::filesystem::path folder = std::filesystem::path(output).parent_path();
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error)) return true;
  std::filesystem::create_directories(folder, error);
  if (!error) return true;
  err << "Cannot create folder " << folder.string() << ": " << error.message() << "\n";
  return false;
}

unsigned DefaultThreadCount() {
  return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace vexo::cli
