// The cost of a highlight move against a full-screen redraw, for callgrind:
// a move removes one band and adds another (two AddToRect calls over 480 x 24
// pixels); a redraw fills the whole 720 x 576 screen. Each runs once in a
// function of its own, so callgrind's inclusive counts compare them.

#include "draw.h"
#include "framebuffer.h"

static unsigned char screen[720 * 576];

extern "C" __attribute__((noinline)) void highlight_move() {
    AddToRect(100, 175, 480, 24, -1);
    AddToRect(100, 200, 480, 24, +1);
}

extern "C" __attribute__((noinline)) void full_screen_fill() {
    FillBox(0, 0, 720, 576, 1);
}

int main() {
    UseScreenMemory(screen, 720, 576, 720);
    full_screen_fill();
    highlight_move();
    return screen[200 * 720 + 100] == 2 ? 0 : 1;
}
