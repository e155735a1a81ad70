/* The start of the micro:bit program on its Cortex-M0 (ARMv6-M): the vector
 * table, the reset handler (fill the stack with a pattern, copy the
 * initialised data, clear the zero-initialised data, run main, exit through
 * semihosting with its status), and a fault handler that says where the
 * fault happened and exits with EXIT_FAULTED rather than leaving the
 * machine hung. The program enables no interrupt, so every exception but
 * reset is a fault.
 *
 * An ARMv6-M core has no fault status registers and faults on every
 * unaligned access, and an instruction outside ARMv6-M is a fault too. */
#include <stdint.h>

#include "board.h"
#include "semihosting.h"

extern uint32_t __stack_limit__[], __stack_top__[];
extern uint32_t __data_start__[], __data_end__[], __data_load__[];
extern uint32_t __bss_start__[], __bss_end__[];

int main(void);
void reset_handler(void) __attribute__((noreturn));
void fault_handler(void) __attribute__((naked, noreturn));
void report_fault(const uint32_t* frame) __attribute__((noreturn, used));

typedef void (*exception_handler)(void);

/* The initial stack pointer, then the core's 15 exceptions, reset first. */
__attribute__((section(".vectors"), used)) static const struct {
  uint32_t* initial_stack;
  exception_handler handlers[15];
} vectors = {__stack_top__,
             {reset_handler, fault_handler, fault_handler, fault_handler, fault_handler,
              fault_handler, fault_handler, fault_handler, fault_handler, fault_handler,
              fault_handler, fault_handler, fault_handler, fault_handler, fault_handler}};

/* What the start-up writes into the stack before anything uses it. */
#define STACK_PATTERN 0x5A5AA5A5u

size_t stack_bytes_reserved(void) {
  return (size_t)(__stack_top__ - __stack_limit__) * sizeof(uint32_t);
}

size_t stack_bytes_used(void) {
  const uint32_t* word = __stack_limit__;
  while (word < __stack_top__ && *word == STACK_PATTERN) ++word;
  return (size_t)(__stack_top__ - word) * sizeof(uint32_t);
}

void reset_handler(void) {
  /* Everything below the reset handler's own frame. */
  uint32_t* stack_pointer;
  __asm__ volatile("mov %0, sp" : "=r"(stack_pointer));
  for (uint32_t* word = __stack_limit__; word < stack_pointer; ++word) *word = STACK_PATTERN;
  const uint32_t* from = __data_load__;
  for (uint32_t* word = __data_start__; word < __data_end__; ++word) *word = *from++;
  for (uint32_t* word = __bss_start__; word < __bss_end__; ++word) *word = 0;
  semihosting_exit(main());
}

/* The exception frame the core pushed is at the stack pointer on entry:
 * r0-r3, r12, lr, the faulting pc, xPSR. Naked, so that nothing is pushed
 * before the frame is found. */
void fault_handler(void) {
  __asm__ volatile("mrs r0, msp\n\tbl report_fault");
}

void report_fault(const uint32_t* frame) {
  semihosting_write("fault at pc ");
  semihosting_write_hex(frame[6], 8);
  semihosting_write("\n");
  semihosting_exit(EXIT_FAULTED);
}
