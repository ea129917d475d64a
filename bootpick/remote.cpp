// The infrared remote control: the driver delivers 2-byte records, one 16-bit
// code each in the box's (big-endian) byte order; a key is complete when the
// end marker arrives.
#include "remote.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/select.h>
#include <unistd.h>

static_assert(O_NOCTTY == 0x100, "the open flags the driver is used with");

namespace {

constexpr int kRecordSize = 2;
// The code value is the low-order byte of the big-endian 16-bit code, which
// is the second byte of the record whatever the reading machine's order.
constexpr int kCodeByte = 1;
constexpr int kEndMarker = 0xFE;
// Returned when a marker comes with no code before it; it has no letter.
constexpr int kNoCode = kEndMarker;
constexpr long kFirstKeyWaitSeconds = 5;

enum class Record { Whole, End, Partial, Failed };

// Reads one record, joining one that arrives in pieces.
Record read_record(unsigned char (&record)[kRecordSize]) {
    int got = 0;
    while (got < kRecordSize) {
        ssize_t n = read(rc_fd, record + got, size_t(kRecordSize - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return Record::Failed;
        }
        if (n == 0) return got == 0 ? Record::End : Record::Partial;
        got += int(n);
    }
    return Record::Whole;
}

// Readiness of rc_fd within the given time.
int wait_readable(long seconds) {
    if (rc_fd < 0 || rc_fd >= FD_SETSIZE) return -1;   // FD_SET would write past the set
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(rc_fd, &readable);
    timeval timeout;
    timeout.tv_sec = seconds;
    timeout.tv_usec = 0;
    return select(rc_fd + 1, &readable, nullptr, nullptr, &timeout);
}

constexpr char letter_of(int code) {
    if (code >= 0 && code <= 9) return char('0' + code);
    switch (code) {
    case 14: return 'U';
    case 15: return 'D';
    case 32: return 'X';
    case 46: return 'R';
    case 47: return 'L';
    case 48: return 'O';
    default: return '\0';
    }
}

static_assert(letter_of(0) == '0' && letter_of(9) == '9' && letter_of(48) == 'O');
static_assert(letter_of(10) == '\0' && letter_of(kNoCode) == '\0');

} // namespace

const char *rc_device_path = kRemoteDevicePath;
int32_t rc_fd = -1;

int rc_init() {
    rc_fd = open(rc_device_path, O_RDONLY | O_NOCTTY);
    if (rc_fd < 0) {
        perror("rc_init: open failed");
        exit(0);
    }
    // Keys pressed before the menu appeared are thrown away.
    while (wait_readable(0) > 0) {
        unsigned char record[kRecordSize];
        if (read_record(record) != Record::Whole) break;
    }
    return wait_readable(kFirstKeyWaitSeconds);
}

int rc_keycode() {
    int last = kNoCode;
    for (;;) {
        unsigned char record[kRecordSize];
        switch (read_record(record)) {
        case Record::Whole:
            break;
        case Record::Failed:
            perror("rc_keycode: reading rc");
            exit(1);
        case Record::End:
            // A FIFO standing in for the device has lost its writer: no key
            // will ever come.
            fputs("rc_keycode: reading rc: end of input\n", stderr);
            exit(1);
        case Record::Partial:
            fputs("rc_keycode: reading rc: incomplete record at end of input\n", stderr);
            exit(1);
        }
        const int code = record[kCodeByte];
        if (code == kEndMarker) return last;
        last = code;
    }
}

char rc_getkey(const char *allowed) {
    for (;;) {
        const char letter = letter_of(rc_keycode());
        if (letter != '\0' && strchr(allowed, letter)) return letter;
    }
}
