/* The start of a test program on a Cortex-M core: the vector table, the
 * reset handler (set up the core, copy the initialised data, clear the
 * zero-initialised data, run main, exit through semihosting with its
 * status), and a fault handler that says what went wrong and exits with
 * EXIT_FAULTED rather than leaving the machine hung.
 *
 * Code built for ARMv6-M (Cortex-M0 and M0+) runs on the mps2-an385's
 * Cortex-M3, which executes the same instructions; but an ARMv6-M core
 * faults on every unaligned load or store, where the M3 carries them out.
 * So the reset handler makes the M3 trap them too (CCR.UNALIGN_TRP, always
 * set on ARMv6-M), and an access an M0+ would fault on fails the test. */
#include <stdint.h>

#include "semihosting.h"

extern uint32_t __stack_top__[];
extern uint32_t __data_start__[], __data_end__[], __data_load__[];
extern uint32_t __bss_start__[], __bss_end__[];

int main(void);
void reset_handler(void) __attribute__((noreturn));
void fault_handler(void) __attribute__((naked, noreturn));
void report_fault(const uint32_t* frame) __attribute__((noreturn, used));

/* System control block registers of the ARMv7-M architecture. */
#define SCB_CCR (*(volatile uint32_t*)0xE000ED14u)
#define SCB_CFSR (*(volatile uint32_t*)0xE000ED28u)
#define SCB_CPACR (*(volatile uint32_t*)0xE000ED88u)
#define CCR_UNALIGN_TRP (1u << 3)
#define CFSR_UNALIGNED (1u << 24)
#define CPACR_CP10_CP11_FULL (0xFu << 20)

typedef void (*exception_handler)(void);

/* The initial stack pointer, then the core's 15 exceptions (reset first);
 * the programs enable no interrupt. Every exception but reset is a fault
 * here, since nothing sets off the others. */
struct vector_table {
  uint32_t* initial_stack;
  exception_handler handlers[15];
};

__attribute__((section(".vectors"), used)) static const struct vector_table vectors = {
    __stack_top__,
    {reset_handler, fault_handler, fault_handler, fault_handler, fault_handler, fault_handler,
     fault_handler, fault_handler, fault_handler, fault_handler, fault_handler, fault_handler,
     fault_handler, fault_handler, fault_handler}};

static void set_up_core(void) {
#if defined(__ARM_ARCH_6M__)
  SCB_CCR |= CCR_UNALIGN_TRP;
#endif
#if defined(__ARM_FP)
  /* The FPU is off after reset; code built for it may use its registers
   * (the C library's, or the compiler's for a copy). */
  SCB_CPACR |= CPACR_CP10_CP11_FULL;
  __asm__ volatile("dsb\n\tisb" ::: "memory");
#endif
}

void reset_handler(void) {
  set_up_core();
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
  /* The fault status register of ARMv7-M, which the M3 standing in for an
   * ARMv6-M core has. */
  if (SCB_CFSR & CFSR_UNALIGNED) {
    semihosting_write(": unaligned access (an ARMv6-M core faults on it)");
  }
  semihosting_write("\n");
  semihosting_exit(EXIT_FAULTED);
}
