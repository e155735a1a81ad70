/* The end of the program: the exit system call of an ARM Linux process
 * (number 1 in r7, status in r0), which is what qemu-arm's user mode runs
 * the program as. On a device the same place would signal the status to a
 * debugger or stop the processor. */
void exit_with_status(int status) __attribute__((noreturn));

void exit_with_status(int status) {
  register int r0 __asm__("r0") = status;
  register int r7 __asm__("r7") = 1;
  __asm__ volatile("svc #0" : : "r"(r0), "r"(r7) : "memory");
  for (;;) {
  }
}
