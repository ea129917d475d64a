// fs_detacher: detaches a mount point from the directory tree at once
// (umount2 with MNT_DETACH); the kernel finishes the unmount when the file
// system falls idle. Freestanding: no C library, three raw system calls.
//
// Exit status: 0 detached, 255 the detach failed, 1 no argument given.

#include "arch.h"

namespace {

constexpr long kMntDetach = 2;
constexpr int kStderr = 2;
// A string literal, not an array: it needs no alignment padding.
constexpr const char *kUsage = "fs_detacher(init): Wrong number of params\n";
constexpr unsigned long kUsageLength = __builtin_strlen(kUsage);
static_assert(kUsageLength == 42);

// Each wrapper hands the kernel's result back, or -1 when the call failed.
long sys_result(long raw) { return raw_failed(raw) ? -1 : raw; }

[[noreturn]] void sys_exit(long status) {
    raw_syscall2(SYS_exit, status, 0);
    __builtin_unreachable();
}

long sys_write(int fd, const void *buffer, unsigned long length) {
    return sys_result(raw_syscall3(SYS_write, fd, reinterpret_cast<long>(buffer),
                                   static_cast<long>(length)));
}

long sys_umount2(const char *path, long flags) {
    return sys_result(raw_syscall2(SYS_umount2, reinterpret_cast<long>(path), flags));
}

}  // namespace

extern "C" [[noreturn]] __attribute__((used)) void fs_detacher_main(int argc, char **argv) {
    if (argc <= 1) {
        sys_write(kStderr, kUsage, kUsageLength);
        sys_exit(1);
    }
    sys_exit(sys_umount2(argv[1], kMntDetach));
}

DEFINE_ENTRY_POINT(fs_detacher_main);
