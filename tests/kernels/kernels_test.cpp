// Every kernel variant this build holds and this processor runs against its
// plain version (kernel_table.h), each a test of its own; in a desktop build
// also the file decoder's row kernel at every run-time level.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "kernel_table.h"

namespace vexo::kernel_check {

#if VEXO_KERNEL_TEST_BGR_ROWS
std::vector<KernelEntry> BgrRowEntries();
#endif

// Names the entry where a test fails.
void PrintTo(const KernelEntry& entry, std::ostream* out) {
  *out << entry.kernel << ", " << entry.variant;
}

namespace {

std::vector<KernelEntry> AllEntries() {
  std::vector<KernelEntry> entries(KernelEntries().begin(), KernelEntries().end());
#if VEXO_KERNEL_TEST_BGR_ROWS
  for (const KernelEntry& entry : BgrRowEntries()) entries.push_back(entry);
#endif
  return entries;
}

class KernelVariant : public ::testing::TestWithParam<KernelEntry> {};

TEST_P(KernelVariant, MatchesItsPlainVersionBetweenGuards) {
  const KernelEntry& entry = GetParam();
  if (entry.runsHere != nullptr && !entry.runsHere()) {
    GTEST_SKIP() << "this processor does not run " << entry.variant;
  }
  const CheckResult result = CheckKernel(entry);
  EXPECT_TRUE(result.passed) << entry.kernel << ", " << entry.variant << ": " << result.what
                             << " (trial " << result.trial << ", byte " << result.offset << ")";
}

std::string TestName(const ::testing::TestParamInfo<KernelEntry>& info) {
  std::string name = std::string(info.param.kernel) + "_" + info.param.variant;
  for (char& c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(ThisBuild, KernelVariant, ::testing::ValuesIn(AllEntries()), TestName);

}  // namespace
}  // namespace vexo::kernel_check
