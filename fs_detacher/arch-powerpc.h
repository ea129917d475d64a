// System calls and entry point for 32-bit PowerPC Linux (the box).
// The kernel flags a failure in CR0.SO and returns a positive errno in r3;
// the raw call negates it, so failures come back as -errno as elsewhere.
#pragma once

enum : long { SYS_exit = 1, SYS_write = 4, SYS_umount2 = 52 };

static inline long raw_syscall2(long number, long a, long b) {
    register long r0 asm("r0") = number;
    register long r3 asm("r3") = a;
    register long r4 asm("r4") = b;
    asm volatile("sc\n\t"
                 "bns+ 1f\n\t"
                 "neg  %1, %1\n"
                 "1:"
                 : "+r"(r0), "+r"(r3), "+r"(r4)
                 :
                 : "r5", "r6", "r7", "r8", "r9", "r10", "r11", "r12", "cr0", "ctr", "xer", "memory");
    return r3;
}

static inline long raw_syscall3(long number, long a, long b, long c) {
    register long r0 asm("r0") = number;
    register long r3 asm("r3") = a;
    register long r4 asm("r4") = b;
    register long r5 asm("r5") = c;
    asm volatile("sc\n\t"
                 "bns+ 1f\n\t"
                 "neg  %1, %1\n"
                 "1:"
                 : "+r"(r0), "+r"(r3), "+r"(r4), "+r"(r5)
                 :
                 : "r6", "r7", "r8", "r9", "r10", "r11", "r12", "cr0", "ctr", "xer", "memory");
    return r3;
}

static inline bool raw_failed(long result) { return result < 0 && result > -4096; }

// Entry: argc at the initial stack pointer, argv right after it. Align the
// stack to 16 bytes, start the frame chain with a null back chain, call the
// main routine and pass its result to exit.
#define DEFINE_ENTRY_POINT(main_routine)                                   \
    asm(".text\n"                                                          \
        ".global _start\n"                                                 \
        "_start:\n"                                                        \
        "    mr     9, 1\n"                                                \
        "    clrrwi 1, 1, 4\n"                                             \
        "    li     0, 0\n"                                                \
        "    stwu   0, -16(1)\n"                                           \
        "    lwz    3, 0(9)\n"                                             \
        "    addi   4, 9, 4\n"                                             \
        "    bl     " #main_routine "\n"                                   \
        "    li     0, 1\n"                                                \
        "    sc\n")
