/* Semihosting on ARMv6-M and ARMv7-M: BKPT 0xAB with the operation in r0
 * and its argument in r1, which the debugger or emulator carries out on the
 * host. */
#include "semihosting.h"

#include <stddef.h>

enum {
  SYS_WRITE0 = 0x04,
  SYS_GET_CMDLINE = 0x15,
  /* On a 32-bit core SYS_EXIT takes the reason alone, and a host then
   * exits with 0 for "application exit" and 1 for anything else;
   * SYS_EXIT_EXTENDED takes a block of reason and status. */
  SYS_EXIT = 0x18,
  SYS_EXIT_EXTENDED = 0x20,
  ADP_STOPPED_APPLICATION_EXIT = 0x20026,
  ADP_STOPPED_RUN_TIME_ERROR = 0x20023
};

static int32_t semihosting_call(int32_t operation, const void* argument) {
  register int32_t r0 __asm__("r0") = operation;
  register const void* r1 __asm__("r1") = argument;
  __asm__ volatile("bkpt 0xab" : "+r"(r0) : "r"(r1) : "memory");
  return r0;
}

void semihosting_write(const char* text) {
  semihosting_call(SYS_WRITE0, text);
}

void semihosting_write_hex(uint64_t value, int digit_count) {
  char digits[19] = "0x";
  if (digit_count < 1 || digit_count > 16) digit_count = 16;
  for (int i = 0; i < digit_count; ++i) {
    digits[2 + i] = "0123456789abcdef"[(value >> (4 * (digit_count - 1 - i))) & 0xFu];
  }
  digits[2 + digit_count] = '\0';
  semihosting_write(digits);
}

void semihosting_write_decimal(int32_t value) {
  char digits[12];
  size_t at = sizeof digits - 1;
  digits[at] = '\0';
  /* In unsigned arithmetic, so that the most negative value prints too. */
  uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
  do {
    digits[--at] = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[--at] = '-';
  semihosting_write(digits + at);
}

int semihosting_command_line(char* buffer, int size) {
  if (size < 2) return -1;
  /* The host writes the line and its length into the block. */
  struct {
    char* buffer;
    int32_t size;
  } block = {buffer, size - 1};
  if (semihosting_call(SYS_GET_CMDLINE, &block) != 0) return -1;
  buffer[block.size] = '\0';
  return block.size;
}

void semihosting_exit(int status) {
  if (status == 0) {
    semihosting_call(SYS_EXIT, (const void*)ADP_STOPPED_APPLICATION_EXIT);
  } else {
    const int32_t block[2] = {ADP_STOPPED_APPLICATION_EXIT, status};
    semihosting_call(SYS_EXIT_EXTENDED, block);
    /* A host without the extended call: a failure all the same. */
    semihosting_call(SYS_EXIT, (const void*)ADP_STOPPED_RUN_TIME_ERROR);
  }
  for (;;) {
  }
}
