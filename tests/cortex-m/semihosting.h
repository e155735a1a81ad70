/* The few semihosting calls a test program on a Cortex-M core needs: text
 * to the host's console and an exit status for whoever started the machine
 * (qemu-system-arm with -semihosting-config enable=on, or a debugger). */
#ifndef VEXO_SEMIHOSTING_H
#define VEXO_SEMIHOSTING_H

#include <stdint.h>

/* The statuses the test programs exit with. */
enum {
  EXIT_PASSED = 0,
  EXIT_FAILED = 1,
  EXIT_FAULTED = 3,
  /* The machine has too little RAM for the test: CTest counts it as
   * skipped. */
  EXIT_SKIPPED = 77
};

void semihosting_write(const char* text);
/* The low `digit_count` hexadecimal digits (1 to 16) of `value`, after "0x". */
void semihosting_write_hex(uint64_t value, int digit_count);
void semihosting_write_decimal(int32_t value);

/* The program's command line as the host gives it (qemu-system-arm: the
 * arg= values of -semihosting-config, separated by spaces), NUL-terminated
 * in `buffer` of `size` bytes. Returns its length, or -1 when there is none
 * or it does not fit. */
int semihosting_command_line(char* buffer, int size);

/* Ends the program: the machine exits with `status`. */
void semihosting_exit(int status) __attribute__((noreturn));

#endif
