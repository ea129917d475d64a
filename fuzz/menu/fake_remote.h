// The remote control of the menu fuzz target: key letters come from the
// input, and when the input is used up the menu is left by a jump back to
// the target. Replaces the program's remote control at link time.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>

struct FakeRemote {
    const uint8_t *keys;      // the rest of the input, one key a byte
    size_t count;
    size_t used;
    int inits;                // calls of rc_init
    std::jmp_buf out_of_keys; // where rc_getkey goes when no key is left
    void (*waiting)();        // called whenever the menu waits for a key
};

extern FakeRemote fake_remote;
