/* arm_driver (arm_driver.c, compiled with -Dmain=arm_driver_main) as a
 * bare-metal program for a Cortex-M core under qemu-system-arm: its command
 * line comes through semihosting (the arg= values of -semihosting-config),
 * and its files, output and heap through the C library's semihosting system
 * calls (newlib's librdimon). The start-up and the machine's memory map are
 * those of the tests (tests/cortex-m). */
#include <stdio.h>

#include "semihosting.h"

int arm_driver_main(int argc, char** argv);
void initialise_monitor_handles(void);

enum { kMaxArguments = 8 };

/* Splits the line in place at its spaces; returns the number of words. */
static int split_words(char* line, char* words[], int max_words) {
  int count = 0;
  while (*line != '\0' && count < max_words) {
    while (*line == ' ') *line++ = '\0';
    if (*line == '\0') break;
    words[count++] = line;
    while (*line != '\0' && *line != ' ') ++line;
  }
  return count;
}

int main(void) {
  initialise_monitor_handles();
  static char line[512];
  char* arguments[kMaxArguments + 1] = {0};
  const int count = semihosting_command_line(line, sizeof line) < 0
                        ? 0
                        : split_words(line, arguments, kMaxArguments);
  const int status = arm_driver_main(count, arguments);
  fflush(stdout);
  return status;
}
