// System calls and entry point for x86-64 Linux.
// The raw call returns the kernel's result unchanged: -errno on failure.
#pragma once

enum : long { SYS_write = 1, SYS_exit = 60, SYS_umount2 = 166 };

static inline long raw_syscall2(long number, long a, long b) {
    long result;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(number), "D"(a), "S"(b)
                 : "rcx", "r11", "memory");
    return result;
}

static inline long raw_syscall3(long number, long a, long b, long c) {
    long result;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(number), "D"(a), "S"(b), "d"(c)
                 : "rcx", "r11", "memory");
    return result;
}

static inline bool raw_failed(long result) { return result < 0 && result > -4096; }

// Entry: argc at the initial stack pointer, argv right after it. Clear the
// frame pointer, align the stack to 16 bytes, call the main routine and pass
// its result to exit.
#define DEFINE_ENTRY_POINT(main_routine)                                   \
    asm(".text\n"                                                          \
        ".global _start\n"                                                 \
        "_start:\n"                                                        \
        "    xor  %ebp, %ebp\n"                                            \
        "    mov  (%rsp), %edi\n"                                          \
        "    lea  8(%rsp), %rsi\n"                                         \
        "    and  $-16, %rsp\n"                                            \
        "    call " #main_routine "\n"                                     \
        "    mov  %eax, %edi\n"                                            \
        "    mov  $60, %eax\n"                                             \
        "    syscall\n")
