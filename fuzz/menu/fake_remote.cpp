// The remote control of the menu fuzz target (see fake_remote.h). A key byte
// that is one of the allowed letters is that letter; any other byte picks a
// letter of the allowed set by its value, so every byte is a key.
#include "fake_remote.h"

#include <cstring>

#include "remote.h"

FakeRemote fake_remote;

const char *rc_device_path = kRemoteDevicePath;
int32_t rc_fd = -1;

// The first wait: a key is waiting when the input holds one, else the five
// seconds pass without one.
int rc_init()
{
    ++fake_remote.inits;
    fake_remote.waiting();
    return fake_remote.used < fake_remote.count ? 1 : 0;
}

int rc_keycode()
{
    if (fake_remote.used == fake_remote.count) std::longjmp(fake_remote.out_of_keys, 1);
    return fake_remote.keys[fake_remote.used++];
}

char rc_getkey(const char *allowed)
{
    fake_remote.waiting();
    const int code = rc_keycode();
    if (code != 0 && strchr(allowed, code) != nullptr) return static_cast<char>(code);
    return allowed[static_cast<size_t>(code) % strlen(allowed)];
}
