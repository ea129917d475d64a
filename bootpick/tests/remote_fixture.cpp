// Test helper: the FIFO standing in for the remote control device.
#include "remote_fixture.h"

#include "remote.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

uint16_t code_of(char letter) {
    if (letter >= '0' && letter <= '9') return uint16_t(letter - '0');
    switch (letter) {
    case 'U': return 14;
    case 'D': return 15;
    case 'X': return 32;
    case 'R': return 46;
    case 'L': return 47;
    case 'O': return 48;
    default: abort();   // a typo in a test script
    }
}

RemoteFifo::~RemoteFifo() {
    close_writer();
    if (rc_fd >= 0) close(rc_fd);
    rc_fd = -1;
    rc_device_path = kRemoteDevicePath;
    if (path_[0]) unlink(path_);
    if (dir_[0]) rmdir(dir_);
}

bool RemoteFifo::create() {
    const char *tmp = getenv("TMPDIR");
    snprintf(dir_, sizeof dir_, "%s/rcfifo.XXXXXX", tmp && *tmp ? tmp : "/tmp");
    if (!mkdtemp(dir_)) {
        dir_[0] = '\0';
        return false;
    }
    snprintf(path_, sizeof path_, "%s/rc0", dir_);
    if (mkfifo(path_, 0600) != 0) {
        path_[0] = '\0';
        return false;
    }
    rc_device_path = path_;
    return true;
}

bool RemoteFifo::open_writer() {
    writer_ = open(path_, O_RDWR);
    return writer_ >= 0;
}

bool RemoteFifo::open_writer_when_read(int timeout_ms) {
    // Without a reader a non-blocking open fails (ENXIO) instead of waiting.
    for (int waited = 0; waited <= timeout_ms; waited += 10) {
        writer_ = open(path_, O_WRONLY | O_NONBLOCK);
        if (writer_ >= 0) return true;
        usleep(10000);
    }
    return false;
}

bool RemoteFifo::attach() {
    rc_fd = open(path_, O_RDONLY | O_NOCTTY);
    return rc_fd >= 0;
}

void RemoteFifo::close_writer() {
    if (writer_ >= 0) close(writer_);
    writer_ = -1;
}

bool RemoteFifo::send_bytes(const unsigned char *bytes, size_t count) {
    return write(writer_, bytes, count) == ssize_t(count);
}

bool RemoteFifo::send_codes(const uint16_t *codes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const unsigned char record[2] = {uint8_t(codes[i] >> 8), uint8_t(codes[i] & 0xFF)};
        if (!send_bytes(record, sizeof record)) return false;
    }
    return true;
}

bool RemoteFifo::send_key(uint16_t code) {
    const uint16_t records[2] = {code, kEndMarker};
    return send_codes(records, 2);
}

bool RemoteFifo::send_keys(const char *letters) {
    for (; *letters; ++letters)
        if (!send_key(code_of(*letters))) return false;
    return true;
}
