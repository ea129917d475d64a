// The infrared remote control: open the driver's device, drop stale key
// codes, wait for the first key, and turn the driver's codes into letters.
#pragma once

#include <cstdint>

// The driver's character device.
inline constexpr const char *kRemoteDevicePath = "/dev/dbox/rc0";
// Path that rc_init opens; tests point it at a FIFO that stands in for the device.
extern const char *rc_device_path;

// Descriptor of the remote control, set by rc_init.
extern int32_t rc_fd;

// Opens the device (exit 0 when it can't be), drains what is queued, then
// waits up to 5 seconds: > 0 a key is waiting, 0 none came, < 0 the wait failed.
int rc_init();
// The code value (0..255) of the next key: the record before the end marker.
// Ends the program with status 1 when the device cannot deliver one.
int rc_keycode();
// The next key letter that occurs in allowed ("0123456789UDLRXO" for the menu).
char rc_getkey(const char *allowed);
