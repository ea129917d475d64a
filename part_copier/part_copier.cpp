// part_copier: copies one partition (0, 1 or 2) out of a flash image container,
// keeping the 512 data bytes and dropping the 16 spare bytes of every 528-byte
// flash block.
//
// Container: a leading word, the header length H, H header bytes, then for each
// partition its stored size S (spare bytes included) and S bytes of blocks. All
// integers are 32-bit big-endian, whatever the byte order of the machine.
//
// The copy stops at the partition's stated size: a size that is not a multiple
// of 528 ends with a partial block, of which at most 512 bytes are data. An
// input that ends early, a read error or a failed write ends with status 1.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t kBlockSize = 528;   // one flash block as stored
constexpr uint32_t kDataSize = 512;    // its data; the rest are spare bytes
static_assert(kBlockSize - kDataSize == 16);

constexpr int kFailure = 1;

unsigned char block[kBlockSize];

[[noreturn]] void fail(const char *message) {
    fputs(message, stderr);
    exit(kFailure);
}

[[noreturn]] void fail_errno(const char *tag) {
    perror(tag);
    exit(kFailure);
}

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

// Reads exactly `length` bytes unless the input ends first; returns the count.
// A read error is fatal.
uint32_t read_up_to(int fd, unsigned char *buffer, uint32_t length) {
    uint32_t got = 0;
    while (got < length) {
        ssize_t n = read(fd, buffer + got, length - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail_errno("part_copier: Can't read input file");
        }
        if (n == 0)
            break;
        got += static_cast<uint32_t>(n);
    }
    return got;
}

void read_exactly(int fd, unsigned char *buffer, uint32_t length) {
    if (read_up_to(fd, buffer, length) != length)
        fail("part_copier: Input file ends before the end of the partition\n");
}

uint32_t read_be32(int fd) {
    unsigned char word[4];
    read_exactly(fd, word, sizeof word);
    return uint32_t{word[0]} << 24 | uint32_t{word[1]} << 16 | uint32_t{word[2]} << 8 | word[3];
}

void write_all(int fd, const unsigned char *buffer, uint32_t length) {
    while (length > 0) {
        ssize_t n = write(fd, buffer, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            fail_errno("part_copier: Can't write output file");
        }
        buffer += n;
        length -= static_cast<uint32_t>(n);
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 4)
        fail("Usage: part_copier partition input_file output_file\n");

    int32_t partition = partition_number(argv[1]);
    if (static_cast<uint32_t>(partition) > 2)
        fail("part_copier: Partition number must be in the range [0..2]\n");

    int in = open(argv[2], O_RDONLY);
    if (in < 0)
        fail_errno("part_copier: Can't open input file");

    int out = open(argv[3], O_WRONLY | O_CREAT, 0666);
    if (out < 0)
        fail_errno("part_copier: Can't open output file");
    // A regular file is emptied so that nothing of an older, longer file stays
    // behind the new data; a device node is written from its start.
    struct stat st;
    if (fstat(out, &st) == 0 && S_ISREG(st.st_mode) && ftruncate(out, 0) != 0)
        fail_errno("part_copier: Can't truncate output file");

    read_be32(in);                          // leading word, not interpreted
    uint32_t header_length = read_be32(in);
    while (header_length > 0) {             // the header is read, not seeked over
        uint32_t chunk = header_length < kBlockSize ? header_length : kBlockSize;
        read_exactly(in, block, chunk);
        header_length -= chunk;
    }

    for (int32_t skipped = 0; skipped < partition; ++skipped) {
        uint32_t size = read_be32(in);
        if (lseek(in, static_cast<off_t>(size), SEEK_CUR) < 0)
            fail_errno("part_copier: Can't seek in input file");
    }

    uint32_t remaining = read_be32(in);
    while (remaining > 0) {
        uint32_t want = remaining < kBlockSize ? remaining : kBlockSize;
        uint32_t got = read_up_to(in, block, want);
        uint32_t data = got < kDataSize ? got : kDataSize;
        write_all(out, block, data);
        if (got != want)
            fail("part_copier: Input file ends before the end of the partition\n");
        remaining -= want;
    }
    if (close(out) != 0)
        fail_errno("part_copier: Can't write output file");
    return 0;
}
