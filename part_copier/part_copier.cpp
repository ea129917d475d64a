// part_copier: copies one partition (0, 1 or 2) out of a flash image container
// into a file of its own, keeping the 512 data bytes of every 528-byte block.
//
//   part_copier partition input_file output_file
//
// Status 0 after a complete copy, 1 after any failure.

#include "extract.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFailure = 1;

// The partition argument: text to double, then truncated toward zero to a
// signed 32-bit integer, saturating at the limits, NaN giving 0.
int32_t partition_number(const char *text) {
    double value = strtod(text, nullptr);
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        fputs("Usage: part_copier partition input_file output_file\n", stderr);
        return kFailure;
    }
    uint32_t partition = static_cast<uint32_t>(partition_number(argv[1]));
    if (partition > 2) {
        fputs("part_copier: Partition number must be in the range [0..2]\n", stderr);
        return kFailure;
    }

    int in = open(argv[2], O_RDONLY);
    if (in < 0) {
        perror("part_copier: Can't open input file");
        return kFailure;
    }
    int out = open(argv[3], O_WRONLY | O_CREAT, 0666);
    if (out < 0) {
        perror("part_copier: Can't open output file");
        return kFailure;
    }
    // A regular file is emptied so that nothing of an older, longer file stays
    // behind the new data; a device node is written from its start.
    struct stat st;
    if (fstat(out, &st) == 0 && S_ISREG(st.st_mode) && ftruncate(out, 0) != 0) {
        perror("part_copier: Can't truncate output file");
        return kFailure;
    }

    int status = extract_partition(in, out, partition);
    if (close(out) != 0 && status == 0) {
        perror("part_copier: Can't write output file");
        status = kFailure;
    }
    return status;
}
