// Test helper: a FIFO in a fresh directory that stands in for the remote
// control device, and writers of the driver's 2-byte big-endian records.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr uint16_t kEndMarker = 0xFE;

// The driver's code value of a menu key letter ("0".."9", "UDLRXO").
uint16_t code_of(char letter);

class RemoteFifo {
public:
    RemoteFifo() = default;
    RemoteFifo(const RemoteFifo &) = delete;
    RemoteFifo &operator=(const RemoteFifo &) = delete;
    // Removes the FIFO, closes the writer and the remote's descriptor, and
    // points rc_device_path back at the device.
    ~RemoteFifo();

    // Makes the FIFO and points rc_device_path at it; false (errno set) on failure.
    bool create();
    const char *path() const { return path_; }
    // Opens the writing end without waiting for a reader (O_RDWR on a FIFO).
    bool open_writer();
    // Opens the writing end once the remote has opened its end (as rc_init
    // does), polling up to the given time; false if it never does.
    bool open_writer_when_read(int timeout_ms);
    // Opens the reading end as rc_fd, as rc_init would, without its waits.
    bool attach();
    void close_writer();

    bool send_bytes(const unsigned char *bytes, size_t count);
    // One record per code, high-order byte first as on the box.
    bool send_codes(const uint16_t *codes, size_t count);
    // A key press: the code, then the end marker.
    bool send_key(uint16_t code);
    // One key press per letter.
    bool send_keys(const char *letters);

private:
    char dir_[64] = "";
    char path_[80] = "";
    int writer_ = -1;
};
