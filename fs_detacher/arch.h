// Picks the system call layer of the processor being built for.
#pragma once

#if defined(__x86_64__)
#include "arch-x86_64.h"
#elif defined(__powerpc__) && !defined(__powerpc64__)
#include "arch-powerpc.h"
#else
#error "fs_detacher: no system call layer for this processor"
#endif
