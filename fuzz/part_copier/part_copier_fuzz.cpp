// Fuzzes the flash container reader: the container arrives through a memory
// file descriptor, the extracted data goes to /dev/null. The first input byte
// picks the partition.
#include "extract.h"

#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int in = memfd_create("container", 0);
    static int out = open("/dev/null", O_WRONLY);
    if (size < 1 || in < 0 || out < 0)
        return 0;
    uint32_t partition = data[0] % 3;
    if (ftruncate(in, 0) != 0 || pwrite(in, data + 1, size - 1, 0) != static_cast<ssize_t>(size - 1))
        return 0;
    lseek(in, 0, SEEK_SET);
    extract_partition(in, out, partition);
    return 0;
}
