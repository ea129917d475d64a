// Copies one partition out of a flash image container.
//
// Container: a leading word, the header length H, H header bytes, then for each
// partition its stored size S (spare bytes included) and S bytes of 528-byte
// flash blocks, 512 data bytes and 16 spare bytes each. All integers are
// 32-bit big-endian, whatever the byte order of the machine.
//
// The copy stops at the partition's stated size: a size that is not a multiple
// of 528 ends with a partial block, of which at most 512 bytes are data. An
// input that ends early, a read error or a failed write is a failure.

#include "extract.h"

#include <cerrno>
#include <cstdio>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr uint32_t kBlockSize = 528;   // one flash block as stored
constexpr uint32_t kDataSize = 512;    // its data; the rest are spare bytes
static_assert(kBlockSize - kDataSize == 16);

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr const char *kEndsEarly = "part_copier: Input file ends before the end of the partition\n";

unsigned char block[kBlockSize];

// Reads `length` bytes unless the input ends first; the count read, or -1
// after a read error (reported).
long read_up_to(int fd, unsigned char *buffer, uint32_t length) {
    uint32_t got = 0;
    while (got < length) {
        ssize_t n = read(fd, buffer + got, length - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            perror("part_copier: Can't read input file");
            return -1;
        }
        if (n == 0)
            break;
        got += static_cast<uint32_t>(n);
    }
    return got;
}

bool read_exactly(int fd, unsigned char *buffer, uint32_t length) {
    long got = read_up_to(fd, buffer, length);
    if (got == static_cast<long>(length))
        return true;
    if (got >= 0)
        fputs(kEndsEarly, stderr);
    return false;
}

bool read_be32(int fd, uint32_t &value) {
    unsigned char word[4];
    if (!read_exactly(fd, word, sizeof word))
        return false;
    value = uint32_t{word[0]} << 24 | uint32_t{word[1]} << 16 | uint32_t{word[2]} << 8 | word[3];
    return true;
}

bool write_all(int fd, const unsigned char *buffer, uint32_t length) {
    while (length > 0) {
        ssize_t n = write(fd, buffer, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            perror("part_copier: Can't write output file");
            return false;
        }
        buffer += n;
        length -= static_cast<uint32_t>(n);
    }
    return true;
}

}  // namespace

int extract_partition(int in, int out, uint32_t partition) {
    uint32_t word = 0;
    if (!read_be32(in, word))               // leading word, not interpreted
        return kFailure;
    uint32_t header_length = 0;
    if (!read_be32(in, header_length))
        return kFailure;
    while (header_length > 0) {             // the header is read, not seeked over
        uint32_t chunk = header_length < kBlockSize ? header_length : kBlockSize;
        if (!read_exactly(in, block, chunk))
            return kFailure;
        header_length -= chunk;
    }

    for (uint32_t skipped = 0; skipped < partition; ++skipped) {
        uint32_t size = 0;
        if (!read_be32(in, size))
            return kFailure;
        if (lseek(in, static_cast<off_t>(size), SEEK_CUR) < 0) {
            perror("part_copier: Can't seek in input file");
            return kFailure;
        }
    }

    uint32_t remaining = 0;
    if (!read_be32(in, remaining))
        return kFailure;
    while (remaining > 0) {
        uint32_t want = remaining < kBlockSize ? remaining : kBlockSize;
        long got = read_up_to(in, block, want);
        if (got < 0)
            return kFailure;
        uint32_t data = static_cast<uint32_t>(got) < kDataSize ? static_cast<uint32_t>(got) : kDataSize;
        if (!write_all(out, block, data))
            return kFailure;
        if (static_cast<uint32_t>(got) != want) {
            fputs(kEndsEarly, stderr);
            return kFailure;
        }
        remaining -= want;
    }
    return kOk;
}
