/* Every kernel variant this core runs against its plain version, on the
 * kernel table the GoogleTest builds run (kernel_check.cpp), reported
 * through semihosting. */
#include <stddef.h>

#include "semihosting.h"

const char* vexo_kernel_choice(void);
size_t vexo_kernel_entry_count(void);
const char* vexo_kernel_entry_kernel(size_t index);
const char* vexo_kernel_entry_variant(size_t index);
const char* vexo_kernel_entry_check(size_t index, int* trial, int* offset);

int main(void) {
  semihosting_write("kernels chosen for: ");
  semihosting_write(vexo_kernel_choice());
  semihosting_write("\n");
  int failed = 0;
  for (size_t i = 0; i < vexo_kernel_entry_count(); ++i) {
    int trial = 0;
    int offset = 0;
    const char* failure = vexo_kernel_entry_check(i, &trial, &offset);
    semihosting_write(vexo_kernel_entry_kernel(i));
    semihosting_write(", ");
    semihosting_write(vexo_kernel_entry_variant(i));
    if (failure == NULL) {
      semihosting_write(": matches its plain version\n");
      continue;
    }
    semihosting_write(": ");
    semihosting_write(failure);
    semihosting_write(", trial ");
    semihosting_write_decimal(trial);
    semihosting_write(", byte ");
    semihosting_write_decimal(offset);
    semihosting_write("\n");
    failed = 1;
  }
  return failed ? EXIT_FAILED : EXIT_PASSED;
}
