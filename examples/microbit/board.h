/* What the start-up (startup.c) gives the program beside running main. */
#ifndef MICROBIT_BOARD_H
#define MICROBIT_BOARD_H

#include <stddef.h>

/* The bytes reserved for the stack (STACK_BYTES in nrf51.ld), and the most
 * of them the program has used so far: the start-up fills the stack with a
 * pattern, and the deepest word no longer holding it marks the most. When
 * the two are equal, the stack has used its last word or outgrown it. */
size_t stack_bytes_reserved(void);
size_t stack_bytes_used(void);

#endif
