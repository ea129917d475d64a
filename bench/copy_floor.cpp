// The system-call floor of a partition copy: one read of 528 bytes and one
// write of 512 bytes per block, nothing else. The benchmark runs it beside
// part_copier on the same data.
//
//   copy_floor input output    (copies the whole input as blocks)

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv) {
    if (argc != 3)
        return 1;
    int in = open(argv[1], O_RDONLY);
    int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || out < 0)
        return 1;
    static unsigned char block[528];
    while (read(in, block, sizeof block) > 0)
        if (write(out, block, 512) != 512)
            return 1;
    return 0;
}
