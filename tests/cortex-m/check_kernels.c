/* The kernel variants this core runs against their plain versions
 * (kernel_check.cpp), reported through semihosting. */
#include <stddef.h>

#include "semihosting.h"

const char* vexo_kernel_variants(void);
const char* vexo_first_kernel_mismatch(void);

int main(void) {
  semihosting_write("kernel variants: ");
  semihosting_write(vexo_kernel_variants());
  semihosting_write("\n");
  const char* mismatch = vexo_first_kernel_mismatch();
  if (mismatch != NULL) {
    semihosting_write(mismatch);
    semihosting_write(": the variant differs from the plain version\n");
    return EXIT_FAILED;
  }
  semihosting_write("every variant matches its plain version\n");
  return EXIT_PASSED;
}
