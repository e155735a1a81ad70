/* A QEMU TCG plugin that counts the Thumb instructions a program executes,
 * exactly, and sorts them by the classes a Cortex-M core times differently
 * (loads, stores, multiples, multiplies, taken and untaken branches, ...),
 * for bench/arm/run's cycle estimates. At exit it writes "name count" lines
 * to QEMU's log (-d plugin, -D FILE):
 *
 *   qemu-system-arm ... -plugin ./insn_count.so -d plugin -D counts.txt
 *
 * Debian's QEMU exports the plugin interface but ships no header for it, so
 * the few calls of its version 1 used here are declared below as QEMU 7.2
 * defines them. Each instruction adds 1 to its class's counter as it runs
 * (an inline add, no call), so the count stays exact when a block is left
 * half way; a block that ends in a conditional branch tells the next block
 * where it would have fallen through, which sorts taken from untaken. */
#include <inttypes.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

/* The plugin interface, version 1 (QEMU 7.2). */
typedef uint64_t qemu_plugin_id_t;
struct qemu_plugin_tb;
struct qemu_plugin_insn;
enum qemu_plugin_cb_flags { QEMU_PLUGIN_CB_NO_REGS };
enum qemu_plugin_op { QEMU_PLUGIN_INLINE_ADD_U64 };
typedef void (*qemu_plugin_tb_trans_cb)(qemu_plugin_id_t id, struct qemu_plugin_tb* tb);
typedef void (*qemu_plugin_udata_cb)(qemu_plugin_id_t id, void* userdata);
typedef void (*qemu_plugin_vcpu_udata_cb)(unsigned int vcpu_index, void* userdata);

void qemu_plugin_register_vcpu_tb_trans_cb(qemu_plugin_id_t id, qemu_plugin_tb_trans_cb cb);
void qemu_plugin_register_vcpu_tb_exec_cb(struct qemu_plugin_tb* tb, qemu_plugin_vcpu_udata_cb cb,
                                          enum qemu_plugin_cb_flags flags, void* userdata);
void qemu_plugin_register_vcpu_insn_exec_inline(struct qemu_plugin_insn* insn,
                                                enum qemu_plugin_op op, void* ptr, uint64_t imm);
void qemu_plugin_register_atexit_cb(qemu_plugin_id_t id, qemu_plugin_udata_cb cb, void* userdata);
size_t qemu_plugin_tb_n_insns(const struct qemu_plugin_tb* tb);
struct qemu_plugin_insn* qemu_plugin_tb_get_insn(const struct qemu_plugin_tb* tb, size_t index);
const void* qemu_plugin_insn_data(const struct qemu_plugin_insn* insn);
size_t qemu_plugin_insn_size(const struct qemu_plugin_insn* insn);
uint64_t qemu_plugin_insn_vaddr(const struct qemu_plugin_insn* insn);
void qemu_plugin_outs(const char* text);

#define EXPORTED __attribute__((visibility("default")))
EXPORTED extern const int qemu_plugin_version;
EXPORTED const int qemu_plugin_version = 1;
EXPORTED int qemu_plugin_install(qemu_plugin_id_t id, const void* info, int argc, char** argv);

/* The classes, as bench/arm/run reads them. */
#define CLASSES(X)                                                                \
  X(alu) /* data processing, moves, shifts, extends: 1 cycle on both cores */     \
  X(multiply)                                                                     \
  X(divide)                                                                       \
  X(load)                                                                         \
  X(load_after_access) /* a load right after a load or store of the same block */ \
  X(store)                                                                        \
  X(multiple)           /* LDM, STM, PUSH, POP */                                 \
  X(multiple_registers) /* the registers they move, summed */                     \
  X(pop_pc)             /* multiples that load the pc: a branch as well */        \
  X(dual)               /* LDRD, STRD */                                          \
  X(conditional_branch) /* B<cond>, CBZ, CBNZ and branches inside an IT block */  \
  X(branch)             /* B */                                                   \
  X(call)               /* BL */                                                  \
  X(indirect_branch)    /* BX, BLX, MOV or ADD to the pc */                       \
  X(table_branch)       /* TBB, TBH */                                            \
  X(it)                                                                           \
  X(system) /* MRS, MSR, barriers, CPS */                                         \
  X(other)  /* SVC, BKPT, undefined, coprocessor and floating point */

#define AS_ENUM(name) CLASS_##name,
enum insn_class { CLASSES(AS_ENUM) CLASS_COUNT };
#define AS_NAME(name) #name,
static const char* const class_names[] = {CLASSES(AS_NAME)};

static uint64_t counts[CLASS_COUNT];
static uint64_t taken_branches;
static uint64_t untaken_branches;

/* What a translated block needs at run time: where it starts, and where its
 * conditional branch falls through to (0: it ends otherwise). */
struct block {
  uint64_t start;
  uint64_t fall_through;
};
static uint64_t pending_fall_through;

static int popcount(uint32_t bits) {
  return __builtin_popcount(bits);
}

static bool writes_pc_16(uint16_t hw) {
  const int rd = ((hw >> 4) & 8) | (hw & 7);
  return rd == 15 && ((hw & 0xFF00) == 0x4400 || (hw & 0xFF00) == 0x4600);  // ADD, MOV
}

/* A 16-bit instruction's class; *registers: the registers of a multiple. */
static enum insn_class classify_16(uint16_t hw, int* registers) {
  if ((hw & 0xFF87) == 0x4700 || (hw & 0xFF87) == 0x4780 || writes_pc_16(hw)) {
    return CLASS_indirect_branch;
  }
  if ((hw & 0xFFC0) == 0x4340) return CLASS_multiply;  // MULS
  if ((hw & 0xF800) == 0x4800) return CLASS_load;      // LDR literal
  if ((hw & 0xF000) == 0x5000) return (hw & 0x0E00) >= 0x0600 ? CLASS_load : CLASS_store;
  if ((hw & 0xE000) == 0x6000 || (hw & 0xE000) == 0x8000) {  // immediate, SP-relative
    return (hw & 0x0800) ? CLASS_load : CLASS_store;
  }
  if ((hw & 0xF500) == 0xB100) return CLASS_conditional_branch;  // CBZ, CBNZ
  if ((hw & 0xFE00) == 0xB400 || (hw & 0xFE00) == 0xBC00) {      // PUSH, POP
    *registers = popcount(hw & 0x1FF);
    return (hw & 0xFF00) == 0xBD00 ? CLASS_pop_pc : CLASS_multiple;
  }
  if ((hw & 0xFF00) == 0xBF00) return (hw & 0x000F) ? CLASS_it : CLASS_alu;  // IT, hints
  if ((hw & 0xFF00) == 0xBE00) return CLASS_other;                           // BKPT
  if ((hw & 0xFFE8) == 0xB660) return CLASS_system;                          // CPS
  if ((hw & 0xF000) == 0xC000) {                                             // STM, LDM
    *registers = popcount(hw & 0xFF);
    return CLASS_multiple;
  }
  if ((hw & 0xF000) == 0xD000) {
    return (hw & 0x0E00) == 0x0E00 ? CLASS_other : CLASS_conditional_branch;  // UDF, SVC
  }
  if ((hw & 0xF800) == 0xE000) return CLASS_branch;
  return CLASS_alu;
}

static enum insn_class classify_32_load_store(uint16_t hw1, uint16_t hw2, int* registers) {
  if ((hw1 & 0xFE40) == 0xE800) {  // LDM, STM, PUSH.W, POP.W
    *registers = popcount(hw2 & 0xDFFF);
    return (hw1 & 0x0010) && (hw2 & 0x8000) ? CLASS_pop_pc : CLASS_multiple;
  }
  if ((hw1 & 0xFFF0) == 0xE8D0 && (hw2 & 0xFFE0) == 0xF000) return CLASS_table_branch;
  if ((hw1 & 0xFE40) == 0xE840) {  // dual, or exclusive when bits 8 and 5 are clear
    if (hw1 & 0x0120) return CLASS_dual;
    return (hw1 & 0x0010) ? CLASS_load : CLASS_store;
  }
  return (hw1 & 0x0010) ? CLASS_load : CLASS_store;  // single loads and stores (0xF8xx, 0xF9xx)
}

/* A 32-bit instruction's class (first halfword hw1). */
static enum insn_class classify_32(uint16_t hw1, uint16_t hw2, int* registers) {
  if ((hw1 & 0xF800) == 0xE800) {
    if ((hw1 & 0x0600) == 0x0000) return classify_32_load_store(hw1, hw2, registers);
    if ((hw1 & 0x0600) == 0x0200) return CLASS_alu;  // shifted register
    return CLASS_other;                              // coprocessor, floating point
  }
  if ((hw1 & 0xF800) == 0xF000) {
    if ((hw2 & 0x8000) == 0) return CLASS_alu;  // immediates
    if ((hw2 & 0x5000) == 0x5000 || (hw2 & 0x5000) == 0x4000) return CLASS_call;
    if ((hw2 & 0x5000) == 0x1000) return CLASS_branch;
    return (hw1 & 0x0380) == 0x0380 ? CLASS_system : CLASS_conditional_branch;
  }
  if ((hw1 & 0xFE00) == 0xF800) return classify_32_load_store(hw1, hw2, registers);
  if ((hw1 & 0xFF00) == 0xFA00) return CLASS_alu;  // register operations, parallel adds
  if ((hw1 & 0xFF80) == 0xFB00) return CLASS_multiply;
  if ((hw1 & 0xFF80) == 0xFB80) {
    return (hw1 & 0xFFD0) == 0xFB90 ? CLASS_divide : CLASS_multiply;  // SDIV, UDIV
  }
  return CLASS_other;
}

static bool is_branch(enum insn_class class) {
  return class == CLASS_branch || class == CLASS_indirect_branch || class == CLASS_pop_pc ||
         class == CLASS_call || class == CLASS_table_branch;
}

static bool is_access(enum insn_class class) {
  return class == CLASS_load || class == CLASS_load_after_access || class == CLASS_store;
}

static void on_block_start(unsigned int vcpu_index, void* userdata) {
  (void)vcpu_index;
  const struct block* block = userdata;
  if (pending_fall_through != 0) {
    if (block->start == pending_fall_through) {
      ++untaken_branches;
    } else {
      ++taken_branches;
    }
  }
  pending_fall_through = block->fall_through;
}

static void on_translation(qemu_plugin_id_t id, struct qemu_plugin_tb* tb) {
  (void)id;
  struct block* block = calloc(1, sizeof *block);  // lives as long as the code it describes
  const size_t count = qemu_plugin_tb_n_insns(tb);
  enum insn_class previous = CLASS_alu;
  int it_left = 0;  // instructions still inside an IT block
  for (size_t i = 0; i < count; ++i) {
    struct qemu_plugin_insn* insn = qemu_plugin_tb_get_insn(tb, i);
    const uint8_t* bytes = qemu_plugin_insn_data(insn);
    const uint16_t hw1 = (uint16_t)(bytes[0] | bytes[1] << 8);
    int registers = 0;
    enum insn_class class = CLASS_alu;
    if (qemu_plugin_insn_size(insn) == 4) {
      class = classify_32(hw1, (uint16_t)(bytes[2] | bytes[3] << 8), &registers);
    } else {
      class = classify_16(hw1, &registers);
    }
    if (class == CLASS_load && is_access(previous)) class = CLASS_load_after_access;
    if (it_left > 0 && is_branch(class)) class = CLASS_conditional_branch;
    it_left = class == CLASS_it ? 4 - __builtin_ctz(hw1 & 0xF) : (it_left > 0 ? it_left - 1 : 0);
    if (i == 0) block->start = qemu_plugin_insn_vaddr(insn);
    if (class == CLASS_conditional_branch && i + 1 == count) {
      block->fall_through = qemu_plugin_insn_vaddr(insn) + qemu_plugin_insn_size(insn);
    }
    qemu_plugin_register_vcpu_insn_exec_inline(insn, QEMU_PLUGIN_INLINE_ADD_U64, &counts[class], 1);
    if (registers > 0) {
      qemu_plugin_register_vcpu_insn_exec_inline(insn, QEMU_PLUGIN_INLINE_ADD_U64,
                                                 &counts[CLASS_multiple_registers], registers);
    }
    previous = class;
  }
  qemu_plugin_register_vcpu_tb_exec_cb(tb, on_block_start, QEMU_PLUGIN_CB_NO_REGS, block);
}

static void report_counts(qemu_plugin_id_t id, void* userdata) {
  (void)id;
  (void)userdata;
  uint64_t total = 0;
  for (int c = 0; c < CLASS_COUNT; ++c) {
    if (c != CLASS_multiple_registers) total += counts[c];
  }
  char line[96];
  snprintf(line, sizeof line, "insns %" PRIu64 "\n", total);
  qemu_plugin_outs(line);
  for (int c = 0; c < CLASS_COUNT; ++c) {
    snprintf(line, sizeof line, "%s %" PRIu64 "\n", class_names[c], counts[c]);
    qemu_plugin_outs(line);
  }
  snprintf(line, sizeof line, "taken_branches %" PRIu64 "\nuntaken_branches %" PRIu64 "\n",
           taken_branches, untaken_branches);
  qemu_plugin_outs(line);
}

int qemu_plugin_install(qemu_plugin_id_t id, const void* info, int argc, char** argv) {
  (void)info;
  (void)argc;
  (void)argv;
  qemu_plugin_register_vcpu_tb_trans_cb(id, on_translation);
  qemu_plugin_register_atexit_cb(id, report_counts, NULL);
  return 0;
}
