/* The smallest start of a C program on a bare ARM processor: clear the
 * zero-initialised data, copy the initialised data from where the program
 * image keeps it, run main and hand its status to exit_with_status.
 *
 * The stack pointer is set by whatever starts the program: the boot code of
 * the device, or the loader of an emulator such as qemu-arm's user mode. */
#include <stdint.h>

extern uint32_t __bss_start__[], __bss_end__[];
extern uint32_t __data_start__[], __data_end__[], __data_load__[];

int main(void);
void exit_with_status(int status) __attribute__((noreturn));

void _start(void) __attribute__((noreturn));
void _start(void) {
  for (uint32_t* word = __bss_start__; word < __bss_end__; ++word) *word = 0;
  const uint32_t* from = __data_load__;
  for (uint32_t* word = __data_start__; word < __data_end__; ++word) *word = *from++;
  exit_with_status(main());
}
